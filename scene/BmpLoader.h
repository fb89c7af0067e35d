// SPDX-License-Identifier: MIT
// Reads a BMP file ("BM" files and packed DIBs with 12- or 40-byte headers) into an RGBImage.
#pragma once

#include "scene/RGBImage.h"

#include <cstddef>

// Returns a new image, or null after one message box (caption "Error") that names the file and
// says why.
RGBImage* LoadBMPImage(const char* fileName);

// The same for the bytes of a whole file already in memory; the box says only why.
RGBImage* DecodeBMPImage(const unsigned char* file, std::size_t size);
