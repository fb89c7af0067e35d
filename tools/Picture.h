// SPDX-License-Identifier: MIT
// A picture being generated: tightly packed red-green-blue bytes, bottom row first, as the
// BMP loader delivers them and as texture coordinate t = 0 samples them.
#pragma once

#include "Colour.h"

#include <cmath>
#include <cstddef>
#include <vector>

struct Picture
{
    Picture(int width, int height) : width(width), height(height), rgb(static_cast<std::size_t>(width) * height * 3) {}

    void Set(int x, int y, const Colour& colour)
    {
        unsigned char* pixel = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
        pixel[0] = ToByte(colour.red);
        pixel[1] = ToByte(colour.green);
        pixel[2] = ToByte(colour.blue);
    }

    static unsigned char ToByte(float channel)
    {
        return static_cast<unsigned char>(std::lround(Clamp01(channel) * 255.0f));
    }

    int width;
    int height;
    std::vector<unsigned char> rgb;
};
