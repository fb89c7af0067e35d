// SPDX-License-Identifier: MIT
// A decoded picture: tightly packed red-green-blue bytes, bottom row first, ready for
// glTexImage2D with GL_RGB and GL_UNSIGNED_BYTE. Record and pixels come from malloc; the caller
// releases them with FreeRGBImage.
#pragma once

#include <cstdint>

struct RGBImage
{
    std::int32_t width;
    std::int32_t height;
    unsigned char* data;
};

// Frees the pixel block, then the record; null is accepted.
void FreeRGBImage(RGBImage* image);
