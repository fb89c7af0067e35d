// What input changes between frames and every pass reads: the window's client size and the
// scene's turn. Defined with the scene objects in app/Globals.cpp.
#pragma once

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
