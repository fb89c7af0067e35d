// SPDX-License-Identifier: MIT
#include "platform/PngFile.h"

#include "platform/TextFile.h"

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

// The errno of the failure, or 0 when the file was written; EEXIST: the name is taken.
int WriteNewFile(const std::string& path, const std::vector<unsigned char>& bytes)
{
    // "x": the file is made new or not at all (O_CREAT | O_EXCL), so a name taken in the meantime
    // is never lost.
    FILE* file = std::fopen(path.c_str(), "wbx");
    if (file == nullptr)
        return errno;
    int failure = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() ? 0 : errno;
    if (std::fclose(file) != 0 && failure == 0)
        failure = errno;
    if (failure != 0)
        std::remove(path.c_str());
    return failure;
}

std::string NumberedName(const std::string& stem, int number)
{
    return stem + (number == 1 ? "" : "-" + std::to_string(number)) + ".png";
}
}

bool WriteNewPngFile(const std::string& stem, int width, int height, const std::vector<unsigned char>& rgb,
                     std::string& path, std::string& error)
{
    path = NumberedName(stem, 1);
    error = PathProblem(NumberedName(stem, MaxPngNames));
    if (!error.empty())
        return false;
    if (width <= 0 || height <= 0 || rgb.size() != static_cast<std::size_t>(width) * height * 3)
    {
        error = "the picture's size does not match its pixels";
        return false;
    }
    std::vector<unsigned char> png;
    if (!Encode(width, height, rgb, png, error))
        return false;
    for (int number = 1; number <= MaxPngNames; ++number)
    {
        path = NumberedName(stem, number);
        const int failure = WriteNewFile(path, png);
        if (failure != EEXIST)
        {
            error = failure == 0 ? "" : std::strerror(failure);
            return failure == 0;
        }
    }
    error = "every name from " + NumberedName(stem, 1) + " to " + path + " is taken";
    return false;
}
