// SPDX-License-Identifier: MIT
#include "platform/PngFile.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace
{
// The whole file is encoded in memory first, so that a failing write reports the system's reason
// (a full disk, say) rather than libpng's general "Write Error".
bool Encode(int width, int height, const std::vector<unsigned char>& rgb, std::vector<unsigned char>& png,
            std::string& error)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    png.resize(PNG_IMAGE_PNG_SIZE_MAX(image));
    png_alloc_size_t size = png.size();
    if (!png_image_write_to_memory(&image, png.data(), &size, 0, rgb.data(), 0, nullptr))
    {
        error = image.message;
        return false;
    }
    png.resize(size);
    return true;
}

bool WriteNewFile(const std::string& path, const std::vector<unsigned char>& bytes, std::string& error)
{
    // "x": the file is made new or not at all, so a name taken in the meantime is never lost.
    FILE* file = std::fopen(path.c_str(), "wbx");
    if (file == nullptr)
    {
        error = std::strerror(errno);
        return false;
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size())
        error = std::strerror(errno);
    if (std::fclose(file) != 0 && error.empty())
        error = std::strerror(errno);
    if (error.empty())
        return true;
    std::remove(path.c_str());
    return false;
}
}

bool WritePngFile(const std::string& path, int width, int height, const std::vector<unsigned char>& rgb,
                  std::string& error)
{
    error.clear();
    if (width <= 0 || height <= 0 || rgb.size() != static_cast<std::size_t>(width) * height * 3)
    {
        error = "the picture's size does not match its pixels";
        return false;
    }
    std::vector<unsigned char> png;
    return Encode(width, height, rgb, png, error) && WriteNewFile(path, png, error);
}
