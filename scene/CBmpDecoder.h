// SPDX-License-Identifier: MIT
// Turns the pixel data of a device-independent bitmap into tightly packed RGB rows, bottom row
// first: 1-, 4- and 8-bit colour-table pixels, 16- and 32-bit pixels with the default 5-5-5 and
// 8-8-8 layouts or with given channel masks, 24-bit pixels, and 8- and 4-bit run-length
// encoding. It knows nothing of files; the data it is given is untrusted.
#pragma once

#include "scene/DibHeader.h"

#include <cstddef>
#include <cstdint>

class CBmpDecoder
{
public:
    CBmpDecoder(const DibHeader& header, const unsigned char* pixels, std::size_t size);

    std::int32_t Width() const { return header.width; }
    std::int64_t Rows() const { return rows; }
    // Zero for a width below 1 or a height of 0: such a header describes no picture.
    std::uint64_t OutputBytes() const;

    // False when there is no picture, the pixel format is not one of the above, or uncompressed
    // data is too short: what can be told before decoding.
    bool CanDecode() const;

    // Fills `rgb`, OutputBytes() bytes that start zeroed. False when CanDecode is false or
    // run-length data is malformed. Colour indices past the colour table give black, and so do
    // the pixels that run-length data skips.
    bool Decode(unsigned char* rgb) const;

private:
    // One colour channel of a 16- or 32-bit pixel, scaled to 0..255.
    struct Channel
    {
        std::uint32_t mask = 0;
        unsigned shift = 0;
        std::uint32_t maximum = 0;

        explicit Channel(std::uint32_t mask);
        unsigned char Extract(std::uint32_t pixel) const;
    };

    // Where run-length decoding stands: the next byte to read and the next pixel to write.
    struct Cursor
    {
        std::size_t at = 0;
        std::int64_t x = 0;
        std::int64_t y = 0;
    };

    enum class Step
    {
        Continue,
        Finished,
        Malformed,
    };

    bool HasPicture() const { return header.width > 0 && rows > 0; }
    bool IsSupported() const;
    bool IsRunLength() const;
    std::uint32_t DefaultMask(int channel) const;
    std::uint64_t SourceRowBytes() const;

    void DecodeUncompressed(unsigned char* rgb) const;
    void DecodeRow(const unsigned char* source, unsigned char* target) const;

    bool DecodeRunLength(unsigned char* rgb) const;
    Step DecodeRun(unsigned count, unsigned value, Cursor& cursor, unsigned char* rgb) const;
    Step DecodeEscape(unsigned code, Cursor& cursor, unsigned char* rgb) const;
    Step DecodeDelta(Cursor& cursor) const;
    Step DecodeAbsolute(unsigned count, Cursor& cursor, unsigned char* rgb) const;
    bool FitsInRow(const Cursor& cursor, unsigned count) const;

    unsigned char* Target(unsigned char* rgb, std::int64_t x, std::int64_t y) const;
    void StoreIndexed(unsigned index, unsigned char* target) const;
    void StoreMasked(std::uint32_t pixel, unsigned char* target) const;

    const DibHeader& header;
    const unsigned char* pixels;
    std::size_t size;
    std::int64_t rows;
    bool topDown;
    Channel red;
    Channel green;
    Channel blue;
};
