// SPDX-License-Identifier: MIT
// The scalar shaping functions that the pictures are composed with.
#pragma once

#include <algorithm>

inline float Clamp01(float value)
{
    return std::clamp(value, 0.0f, 1.0f);
}

inline float Lerp(float a, float b, float t)
{
    return a + (b - a) * t;
}

// 0 below `edge0`, 1 above `edge1`, a smooth S-curve between.
inline float Smoothstep(float edge0, float edge1, float value)
{
    const float t = Clamp01((value - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}
