// SPDX-License-Identifier: MIT
#include "scene/CBmpDecoder.h"

#include "scene/LittleEndian.h"

namespace
{
constexpr unsigned EndOfLine = 0;
constexpr unsigned EndOfBitmap = 1;
constexpr unsigned Delta = 2;

constexpr std::uint32_t Default16BitMasks[3] = {0x7C00, 0x03E0, 0x001F};
constexpr std::uint32_t Default32BitMasks[3] = {0xFF0000, 0x00FF00, 0x0000FF};

// The colour index of pixel x in a row of 1-, 4- or 8-bit pixels, packed from the high bits down.
unsigned IndexAt(const unsigned char* row, std::size_t x, unsigned bits)
{
    const std::size_t bit = x * bits;
    const unsigned shift = 8 - bits - static_cast<unsigned>(bit % 8);
    return (row[bit / 8] >> shift) & ((1u << bits) - 1);
}

// In 4-bit run-length data each byte holds two pixels, the first in the high half.
unsigned Nibble(unsigned byte, unsigned pixel)
{
    return pixel % 2 == 0 ? byte >> 4 : byte & 0x0F;
}

unsigned TrailingZeros(std::uint32_t value)
{
    unsigned count = 0;
    while ((value & 1) == 0)
    {
        value >>= 1;
        ++count;
    }
    return count;
}
}

CBmpDecoder::Channel::Channel(std::uint32_t mask) : mask(mask)
{
    if (mask == 0)
        return;
    shift = TrailingZeros(mask);
    maximum = mask >> shift;
}

unsigned char CBmpDecoder::Channel::Extract(std::uint32_t pixel) const
{
    if (maximum == 0)
        return 0;
    const std::uint64_t value = (pixel & mask) >> shift;
    return static_cast<unsigned char>((value * 255 + maximum / 2) / maximum);
}

CBmpDecoder::CBmpDecoder(const DibHeader& header, const unsigned char* pixels, std::size_t size)
    : header(header), pixels(pixels), size(size),
      rows(header.height < 0 ? -static_cast<std::int64_t>(header.height) : header.height), topDown(header.height < 0),
      red(DefaultMask(0)), green(DefaultMask(1)), blue(DefaultMask(2))
{
}

std::uint64_t CBmpDecoder::OutputBytes() const
{
    return HasPicture() ? static_cast<std::uint64_t>(header.width) * static_cast<std::uint64_t>(rows) * 3 : 0;
}

bool CBmpDecoder::CanDecode() const
{
    if (!HasPicture() || !IsSupported())
        return false;
    return IsRunLength() || static_cast<std::uint64_t>(rows) <= size / SourceRowBytes();
}

bool CBmpDecoder::Decode(unsigned char* rgb) const
{
    if (!CanDecode())
        return false;
    if (IsRunLength())
        return DecodeRunLength(rgb);
    DecodeUncompressed(rgb);
    return true;
}

bool CBmpDecoder::IsSupported() const
{
    // A device-independent bitmap has one plane; any other count marks a malformed file.
    if (header.planes != 1)
        return false;
    const unsigned bits = header.bitCount;
    switch (header.compression)
    {
    case BI_RGB: return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case BI_RLE8: return bits == 8 && !topDown;
    case BI_RLE4: return bits == 4 && !topDown;
    case BI_BITFIELDS: return bits == 16 || bits == 32;
    default: return false;
    }
}

bool CBmpDecoder::IsRunLength() const
{
    return header.compression == BI_RLE8 || header.compression == BI_RLE4;
}

std::uint32_t CBmpDecoder::DefaultMask(int channel) const
{
    if (header.compression == BI_BITFIELDS)
        return header.masks[channel];
    return header.bitCount == 16 ? Default16BitMasks[channel] : Default32BitMasks[channel];
}

// Rows of the file are padded to a multiple of four bytes.
std::uint64_t CBmpDecoder::SourceRowBytes() const
{
    return (static_cast<std::uint64_t>(header.width) * header.bitCount + 31) / 32 * 4;
}

void CBmpDecoder::DecodeUncompressed(unsigned char* rgb) const
{
    const std::uint64_t rowBytes = SourceRowBytes();
    for (std::int64_t row = 0; row < rows; ++row)
    {
        const std::int64_t outputRow = topDown ? rows - 1 - row : row;
        DecodeRow(pixels + row * rowBytes, Target(rgb, 0, outputRow));
    }
}

void CBmpDecoder::DecodeRow(const unsigned char* source, unsigned char* target) const
{
    for (std::size_t x = 0; x < static_cast<std::size_t>(header.width); ++x, target += 3)
    {
        switch (header.bitCount)
        {
        case 1:
        case 4:
        case 8: StoreIndexed(IndexAt(source, x, header.bitCount), target); break;
        case 16: StoreMasked(ReadU16(source + 2 * x), target); break;
        case 32: StoreMasked(ReadU32(source + 4 * x), target); break;
        default:
            target[0] = source[3 * x + 2];
            target[1] = source[3 * x + 1];
            target[2] = source[3 * x];
        }
    }
}

// Every step is checked against the picture: a run or a move that would leave it makes the data
// malformed, as does data that ends before its end-of-bitmap code.
bool CBmpDecoder::DecodeRunLength(unsigned char* rgb) const
{
    Cursor cursor;
    while (size - cursor.at >= 2)
    {
        const unsigned count = pixels[cursor.at];
        const unsigned value = pixels[cursor.at + 1];
        cursor.at += 2;
        const Step step = count > 0 ? DecodeRun(count, value, cursor, rgb) : DecodeEscape(value, cursor, rgb);
        if (step != Step::Continue)
            return step == Step::Finished;
    }
    return false;
}

CBmpDecoder::Step CBmpDecoder::DecodeRun(unsigned count, unsigned value, Cursor& cursor, unsigned char* rgb) const
{
    if (!FitsInRow(cursor, count))
        return Step::Malformed;
    const bool fourBit = header.compression == BI_RLE4;
    for (unsigned pixel = 0; pixel < count; ++pixel)
        StoreIndexed(fourBit ? Nibble(value, pixel) : value, Target(rgb, cursor.x + pixel, cursor.y));
    cursor.x += count;
    return Step::Continue;
}

CBmpDecoder::Step CBmpDecoder::DecodeEscape(unsigned code, Cursor& cursor, unsigned char* rgb) const
{
    switch (code)
    {
    case EndOfLine:
        if (cursor.y >= rows)
            return Step::Malformed;
        cursor.x = 0;
        ++cursor.y;
        return Step::Continue;
    case EndOfBitmap: return Step::Finished;
    case Delta: return DecodeDelta(cursor);
    default: return DecodeAbsolute(code, cursor, rgb);
    }
}

CBmpDecoder::Step CBmpDecoder::DecodeDelta(Cursor& cursor) const
{
    if (size - cursor.at < 2)
        return Step::Malformed;
    const std::int64_t x = cursor.x + pixels[cursor.at];
    const std::int64_t y = cursor.y + pixels[cursor.at + 1];
    if (x > header.width || y > rows)
        return Step::Malformed;
    cursor = Cursor{cursor.at + 2, x, y};
    return Step::Continue;
}

// Literal pixels, padded to a whole number of 16-bit words.
CBmpDecoder::Step CBmpDecoder::DecodeAbsolute(unsigned count, Cursor& cursor, unsigned char* rgb) const
{
    const bool fourBit = header.compression == BI_RLE4;
    const std::size_t bytes = fourBit ? (count + 1) / 2 : count;
    if (size - cursor.at < bytes || !FitsInRow(cursor, count))
        return Step::Malformed;
    const unsigned char* literal = pixels + cursor.at;
    for (unsigned pixel = 0; pixel < count; ++pixel)
    {
        const unsigned index = fourBit ? Nibble(literal[pixel / 2], pixel) : literal[pixel];
        StoreIndexed(index, Target(rgb, cursor.x + pixel, cursor.y));
    }
    cursor.x += count;
    cursor.at += bytes + bytes % 2;
    if (cursor.at > size)
        cursor.at = size;
    return Step::Continue;
}

bool CBmpDecoder::FitsInRow(const Cursor& cursor, unsigned count) const
{
    return cursor.y < rows && cursor.x + count <= header.width;
}

unsigned char* CBmpDecoder::Target(unsigned char* rgb, std::int64_t x, std::int64_t y) const
{
    return rgb +
           (static_cast<std::size_t>(y) * static_cast<std::size_t>(header.width) + static_cast<std::size_t>(x)) * 3;
}

void CBmpDecoder::StoreIndexed(unsigned index, unsigned char* target) const
{
    static const DibColour black;
    const DibColour& colour = index < header.colours.size() ? header.colours[index] : black;
    target[0] = colour.red;
    target[1] = colour.green;
    target[2] = colour.blue;
}

void CBmpDecoder::StoreMasked(std::uint32_t pixel, unsigned char* target) const
{
    target[0] = red.Extract(pixel);
    target[1] = green.Extract(pixel);
    target[2] = blue.Extract(pixel);
}
