// SPDX-License-Identifier: MIT
// What input changes between frames and every pass reads: the window's client and drawable sizes
// and the scene's turn. Defined with the scene objects in app/Globals.cpp.
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

// Client area in window units, the units of the mouse positions; rewritten by every size message.
extern ClientSize WindowSize;
// The same area in the drawable's pixels, rewritten with WindowSize: more of them than window
// units on a high-DPI output. Everything that sets a viewport, reads pixels back or sizes a
// target by the window reads it, and so do the projections, whose aspect must be the viewport's.
extern ClientSize DrawableSize;
// Right-drag movement in pixels; the passes turn the scene by -horizontal degrees about y.
extern SceneRotationAngles SceneRotation;
