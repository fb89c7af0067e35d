// SPDX-License-Identifier: MIT
// Construction order is defined only within one file, so every scene object is defined here, in
// the order the scene needs, while each is declared in its owner's header: no constructor touches
// OpenGL, and the exit-time destructors run in reverse while the context is still current.
#include "app/Scene.h"
#include "camera/CCamera.h"
#include "camera/ViewState.h"
#include "hdr/CHDRPostProcess.h"
#include "platform/CWindow.h"
#include "platform/DisplaySettings.h"
#include "scene/CSkyBox.h"
#include "scene/CVertexBuffer.h"
#include "scene/Terrain.h"
#include "water/CRenderTexture.h"

ClientSize WindowSize = {640, 480};
ClientSize DrawableSize = {640, 480};
SceneRotationAngles SceneRotation = {0.0f, 0.0f};
DisplaySettings displaySettings;
CWindow MainWindow;

CRenderTexture RenderTexture;
CVertexBuffer TerrainMesh;
CCamera Camera;
CSkyBox SkyBox;
CHDRPostProcess HDRPostProcess;
const float TerrainFrequency = 6.28318f + 6.28318f;
