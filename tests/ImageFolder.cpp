// SPDX-License-Identifier: MIT
#include "ImageFolder.h"

#include <cstdint>

namespace
{
void Put16(std::string& out, std::uint16_t value)
{
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

void Put32(std::string& out, std::uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

constexpr std::uint32_t HeadersBytes = 14 + 40;
}

ImageFolder::ImageFolder() : previous(std::filesystem::current_path())
{
    std::filesystem::current_path(folder.PathOf(""));
}

ImageFolder::~ImageFolder()
{
    std::filesystem::current_path(previous);
}

std::string BmpBytes(int width, int height, const std::function<Rgb(int, int)>& colourAt)
{
    const std::uint32_t stride = (width * 3 + 3) / 4 * 4;
    const std::uint32_t pixelBytes = stride * height;
    std::string file = "BM";
    Put32(file, HeadersBytes + pixelBytes);
    Put32(file, 0);
    Put32(file, HeadersBytes);
    Put32(file, 40);
    Put32(file, width);
    Put32(file, height);
    Put16(file, 1);
    Put16(file, 24);
    Put32(file, 0);
    Put32(file, pixelBytes);
    Put32(file, 2835);
    Put32(file, 2835);
    Put32(file, 0);
    Put32(file, 0);
    for (int y = 0; y < height; ++y)
    {
        for (int x = 0; x < width; ++x)
        {
            const Rgb colour = colourAt(x, y);
            file.append({static_cast<char>(colour[2]), static_cast<char>(colour[1]), static_cast<char>(colour[0])});
        }
        file.append(stride - width * 3, '\0');
    }
    return file;
}

void ImageFolder::WriteBmp(const std::string& name, int width, int height,
                           const std::function<Rgb(int, int)>& colourAt) const
{
    folder.Write(name, BmpBytes(width, height, colourAt));
}
