// SPDX-License-Identifier: MIT
// Finds the header and the pixel data in a BMP file, has CBmpDecoder turn the pixels into RGB
// rows, and reports every refusal, once, in a message box owned by the focused window. The
// image's height is its row count, positive also for files stored top-down.
#include "scene/BmpLoader.h"

#include "platform/MessageBox.h"
#include "scene/CBmpDecoder.h"
#include "scene/CMappedFile.h"
#include "scene/DibHeader.h"
#include "scene/LittleEndian.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace
{
constexpr const char* OutOfMemory = "Out of memory.";
constexpr const char* UnknownFormat = "Unknown DIB file format.";
constexpr const char* ConversionError = "Image file conversion error.";
constexpr std::size_t MessageCapacity = 260;

constexpr std::size_t FileHeaderSize = 14;
constexpr std::size_t PixelOffsetField = 10;

// The largest picture the loader agrees to allocate (16384 x 16384 fits): a header may claim
// any size, and a few bytes of run-length data may describe a picture of many gigabytes.
constexpr std::uint64_t MaxImageBytes = std::uint64_t(1) << 30;

RGBImage* Refuse(const char* text)
{
    MessageBox(GetFocus(), text, "Error", MB_OK);
    return nullptr;
}

// Keeps why the bytes are refused, for the caller's one box.
RGBImage* Refused(const char*& refusal, const char* text)
{
    refusal = text;
    return nullptr;
}

bool HasFileHeader(const unsigned char* file, std::size_t size)
{
    return size >= 2 && file[0] == 'B' && file[1] == 'M';
}

// The pixels of a "BM" file lie where its file header says; those of a packed DIB follow the
// header and its colour table.
std::size_t PixelStart(const unsigned char* file, bool fileHeader, const DibHeader& header)
{
    return fileHeader ? ReadU32(file + PixelOffsetField) : header.sourceBytes;
}

RGBImage* Convert(const DibHeader& header, const unsigned char* pixels, std::size_t size, const char*& refusal)
{
    const CBmpDecoder decoder(header, pixels, size);
    if (decoder.OutputBytes() > MaxImageBytes)
        return Refused(refusal, OutOfMemory);
    if (!decoder.CanDecode())
        return Refused(refusal, ConversionError);
    auto* data = static_cast<unsigned char*>(std::calloc(decoder.OutputBytes(), 1));
    if (data == nullptr)
        return Refused(refusal, OutOfMemory);
    if (!decoder.Decode(data))
    {
        std::free(data);
        return Refused(refusal, ConversionError);
    }
    auto* image = static_cast<RGBImage*>(std::malloc(sizeof(RGBImage)));
    if (image == nullptr)
    {
        std::free(data);
        return Refused(refusal, OutOfMemory);
    }
    *image = RGBImage{decoder.Width(), static_cast<std::int32_t>(decoder.Rows()), data};
    return image;
}

RGBImage* Decode(const unsigned char* file, std::size_t size, const char*& refusal)
{
    const bool fileHeader = HasFileHeader(file, size);
    if (fileHeader && size < FileHeaderSize)
        return Refused(refusal, UnknownFormat);
    const std::size_t headerStart = fileHeader ? FileHeaderSize : 0;

    DibHeader header;
    switch (ReadDibHeader(file + headerStart, size - headerStart, header))
    {
    case DibHeaderStatus::UnknownFormat: return Refused(refusal, UnknownFormat);
    case DibHeaderStatus::TablePastTheEnd: return Refused(refusal, ConversionError);
    case DibHeaderStatus::Read: break;
    }

    const std::size_t pixelStart = std::min(PixelStart(file, fileHeader, header), size);
    return Convert(header, file + pixelStart, size - pixelStart, refusal);
}
}

RGBImage* LoadBMPImage(const char* fileName)
{
    const CMappedFile file(fileName);
    if (!file.IsOpen())
    {
        char text[MessageCapacity];
        std::snprintf(text, sizeof text, "Failed to open DIB file %s.\n", fileName);
        return Refuse(text);
    }
    const char* refusal = nullptr;
    RGBImage* image = Decode(file.Bytes(), file.Size(), refusal);
    if (image != nullptr)
        return image;
    char text[MessageCapacity];
    std::snprintf(text, sizeof text, "%s: %s", fileName, refusal);
    return Refuse(text);
}

RGBImage* DecodeBMPImage(const unsigned char* file, std::size_t size)
{
    const char* refusal = nullptr;
    RGBImage* image = Decode(file, size, refusal);
    return image != nullptr ? image : Refuse(refusal);
}
