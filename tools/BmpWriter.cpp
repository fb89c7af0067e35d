// SPDX-License-Identifier: MIT
#include "BmpWriter.h"

#include <cstdint>
#include <fstream>
#include <vector>

namespace
{
constexpr std::uint32_t HeadersSize = 14 + 40;

void Put16(std::vector<unsigned char>& bytes, std::uint32_t value)
{
    bytes.push_back(static_cast<unsigned char>(value));
    bytes.push_back(static_cast<unsigned char>(value >> 8));
}

void Put32(std::vector<unsigned char>& bytes, std::uint32_t value)
{
    Put16(bytes, value & 0xFFFF);
    Put16(bytes, value >> 16);
}

std::vector<unsigned char> Headers(const Picture& picture, std::uint32_t pixelBytes)
{
    std::vector<unsigned char> bytes{'B', 'M'};
    Put32(bytes, HeadersSize + pixelBytes);
    Put32(bytes, 0);
    Put32(bytes, HeadersSize);
    Put32(bytes, 40);
    Put32(bytes, static_cast<std::uint32_t>(picture.width));
    Put32(bytes, static_cast<std::uint32_t>(picture.height));
    Put16(bytes, 1);
    Put16(bytes, 24);
    for (int field = 0; field < 6; ++field)
        Put32(bytes, 0);
    return bytes;
}
}

bool WriteBmp(const std::string& path, const Picture& picture)
{
    const std::size_t rowBytes = static_cast<std::size_t>(picture.width) * 3;
    const std::size_t paddedRowBytes = (rowBytes + 3) / 4 * 4;
    std::vector<unsigned char> bytes = Headers(picture, static_cast<std::uint32_t>(paddedRowBytes * picture.height));
    for (int y = 0; y < picture.height; ++y)
    {
        const unsigned char* row = &picture.rgb[y * rowBytes];
        for (std::size_t x = 0; x < rowBytes; x += 3)
            bytes.insert(bytes.end(), {row[x + 2], row[x + 1], row[x]});
        bytes.resize(bytes.size() + paddedRowBytes - rowBytes, 0);
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}
