// SPDX-License-Identifier: MIT
// The header of a device-independent bitmap in one normalised form, whichever header the file
// carries: the fields of the 40-byte information header, the colour table as 4-byte entries and,
// for bit-field pixels, the three channel masks.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_RLE8 = 1;
constexpr std::uint32_t BI_RLE4 = 2;
constexpr std::uint32_t BI_BITFIELDS = 3;

struct DibColour
{
    unsigned char blue = 0;
    unsigned char green = 0;
    unsigned char red = 0;
    unsigned char reserved = 0;
};

struct DibHeader
{
    std::uint32_t size = 40;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t planes = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = BI_RGB;
    std::uint32_t imageSize = 0;
    std::int32_t xPelsPerMeter = 0;
    std::int32_t yPelsPerMeter = 0;
    std::uint32_t coloursUsed = 0;
    std::uint32_t coloursImportant = 0;

    std::array<std::uint32_t, 3> masks{}; // red, green, blue; read for BI_BITFIELDS only
    std::vector<DibColour> colours;
    std::size_t sourceBytes = 0; // header, masks and colour table as they lie in the file
};

enum class DibHeaderStatus
{
    Read,
    UnknownFormat,   // too short for a header, or a header size other than 12 and 40
    TablePastTheEnd, // the masks or the colour table run past the end of the file
};

// Reads the header that starts at `dib`, with `available` bytes from there to the end of the file.
DibHeaderStatus ReadDibHeader(const unsigned char* dib, std::size_t available, DibHeader& header);
