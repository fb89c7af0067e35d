// Construction order is defined only within one file, so every scene object lives here, in the
// order the scene needs: no constructor touches OpenGL, and the exit-time destructors run in
// reverse while the context is still current.
#include "app/Globals.h"

ClientSize WindowSize = {640, 480};
SceneRotationAngles SceneRotation = {0.0f, 0.0f};
DisplaySettings displaySettings;

CRenderTexture RenderTexture;
CVertexBuffer TerrainMesh;
CCamera Camera;
CSkyBox SkyBox;
CHDRPostProcess HDRPostProcess;
const float TerrainFrequency = 6.28318f + 6.28318f;
