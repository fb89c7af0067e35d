// SPDX-License-Identifier: MIT
#include "scene/DibHeader.h"

#include "scene/LittleEndian.h"

namespace
{
constexpr std::uint32_t CoreHeaderSize = 12;
constexpr std::uint32_t InfoHeaderSize = 40;
constexpr std::size_t MaskBytes = 12;

std::uint32_t ColourCountFromBits(std::uint16_t bitCount)
{
    switch (bitCount)
    {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

void ReadInfoFields(const unsigned char* dib, DibHeader& header)
{
    header.width = ReadS32(dib + 4);
    header.height = ReadS32(dib + 8);
    header.planes = ReadU16(dib + 12);
    header.bitCount = ReadU16(dib + 14);
    header.compression = ReadU32(dib + 16);
    header.imageSize = ReadU32(dib + 20);
    header.xPelsPerMeter = ReadS32(dib + 24);
    header.yPelsPerMeter = ReadS32(dib + 28);
    header.coloursUsed = ReadU32(dib + 32);
    header.coloursImportant = ReadU32(dib + 36);
}

// The core header's 16-bit sizes are widened without sign; its table length is written into
// the colour counts, as the information header would carry it.
void ReadCoreFields(const unsigned char* dib, DibHeader& header)
{
    header.width = ReadU16(dib + 4);
    header.height = ReadU16(dib + 6);
    header.planes = ReadU16(dib + 8);
    header.bitCount = ReadU16(dib + 10);
    header.coloursUsed = ColourCountFromBits(header.bitCount);
    header.coloursImportant = header.coloursUsed;
}

void ReadMasks(const unsigned char* masks, DibHeader& header)
{
    for (std::size_t channel = 0; channel < header.masks.size(); ++channel)
        header.masks[channel] = ReadU32(masks + 4 * channel);
}

void ReadColourTable(const unsigned char* table, std::size_t entryBytes, DibHeader& header)
{
    for (DibColour& colour : header.colours)
    {
        colour.blue = table[0];
        colour.green = table[1];
        colour.red = table[2];
        table += entryBytes;
    }
}
}

DibHeaderStatus ReadDibHeader(const unsigned char* dib, std::size_t available, DibHeader& header)
{
    if (available < 4)
        return DibHeaderStatus::UnknownFormat;
    const std::uint32_t sourceSize = ReadU32(dib);
    if ((sourceSize != InfoHeaderSize && sourceSize != CoreHeaderSize) || available < sourceSize)
        return DibHeaderStatus::UnknownFormat;

    const bool info = sourceSize == InfoHeaderSize;
    if (info)
        ReadInfoFields(dib, header);
    else
        ReadCoreFields(dib, header);

    std::size_t at = sourceSize;
    if (info && header.compression == BI_BITFIELDS)
    {
        if (available - at < MaskBytes)
            return DibHeaderStatus::TablePastTheEnd;
        ReadMasks(dib + at, header);
        at += MaskBytes;
    }

    const std::uint32_t colourCount =
        info && header.coloursUsed != 0 ? header.coloursUsed & 0xFFFF : ColourCountFromBits(header.bitCount);
    const std::size_t entryBytes = info ? 4 : 3;
    if ((available - at) / entryBytes < colourCount)
        return DibHeaderStatus::TablePastTheEnd;
    header.colours.resize(colourCount);
    ReadColourTable(dib + at, entryBytes, header);
    header.sourceBytes = at + entryBytes * colourCount;
    return DibHeaderStatus::Read;
}
