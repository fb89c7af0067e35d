// SPDX-License-Identifier: MIT
// The globals kept in one order: C++ orders construction only within one file, so they are
// defined here, in that order, while each is declared in its owner's header. No constructor
// touches OpenGL; the exit-time destructors run in reverse after WinMain returns, the HDR chain's
// and the sky box's still deleting GL objects while the context is current. Globals that depend
// on no other's order (the texture names, the water settings, the shading context and its
// reloader, the frame timer, the screenshots, the inspector) are defined beside their own code.
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
