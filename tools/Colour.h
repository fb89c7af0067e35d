// SPDX-License-Identifier: MIT
// A linear red-green-blue colour, each channel 0..1 when it is written out.
#pragma once

#include "Shaping.h"

struct Colour
{
    float red = 0.0f;
    float green = 0.0f;
    float blue = 0.0f;
};

inline Colour operator+(const Colour& a, const Colour& b)
{
    return {a.red + b.red, a.green + b.green, a.blue + b.blue};
}

inline Colour operator*(const Colour& c, float scale)
{
    return {c.red * scale, c.green * scale, c.blue * scale};
}

inline Colour Mix(const Colour& a, const Colour& b, float t)
{
    return {Lerp(a.red, b.red, t), Lerp(a.green, b.green, t), Lerp(a.blue, b.blue, t)};
}
