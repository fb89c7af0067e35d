// SPDX-License-Identifier: MIT
// A scratch folder made the working directory, with small 24-bit BMP files written into it, for
// the tests of what the program reads from its working directory.
#pragma once

#include "ScratchFolder.h"

#include <array>
#include <filesystem>
#include <functional>
#include <string>

using Rgb = std::array<unsigned char, 3>;

// An uncompressed 24-bit BMP file, bottom row first, each row padded to four bytes; the colour of
// pixel (x, y) is colourAt(x, y), y counted from the bottom.
std::string BmpBytes(int width, int height, const std::function<Rgb(int, int)>& colourAt);

class ImageFolder
{
public:
    // Makes an empty scratch folder the working directory.
    ImageFolder();
    // Restores the previous working directory; the scratch folder then goes with its files.
    ~ImageFolder();
    ImageFolder(const ImageFolder&) = delete;
    ImageFolder& operator=(const ImageFolder&) = delete;

    // Writes the BmpBytes of such an image.
    void WriteBmp(const std::string& name, int width, int height, const std::function<Rgb(int, int)>& colourAt) const;

private:
    ScratchFolder folder;
    std::filesystem::path previous;
};
