// The process-wide state of the scene: the window's client size, the scene rotation and the
// single instances of the scene objects. They are defined together in Globals.cpp, in the order
// their construction must follow.
#pragma once

#include "camera/CCamera.h"
#include "hdr/CHDRPostProcess.h"
#include "platform/DisplaySettings.h"
#include "scene/CSkyBox.h"
#include "scene/CVertexBuffer.h"
#include "water/CRenderTexture.h"

#include <cstdint>

struct ClientSize
{
    std::int32_t width;
    std::int32_t height;
};

struct SceneRotationAngles
{
    float horizontal;
    float vertical;
};

// Client area in pixels, rewritten by every size message.
extern ClientSize WindowSize;
// Right-drag movement in pixels; the passes turn the scene by -horizontal degrees about y.
extern SceneRotationAngles SceneRotation;
// Vertical sync and the render size, as the settings file and the inspector chose them.
extern DisplaySettings displaySettings;

extern CRenderTexture RenderTexture;
extern CVertexBuffer TerrainMesh;
extern CCamera Camera;
extern CSkyBox SkyBox;
extern CHDRPostProcess HDRPostProcess;
// Angular factor of the terrain's waves: 6.28318f + 6.28318f, a little under 4 pi.
extern const float TerrainFrequency;
