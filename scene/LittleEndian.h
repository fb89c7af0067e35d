// SPDX-License-Identifier: MIT
// Reads the little-endian integers of file formats from unaligned bytes.
#pragma once

#include <cstdint>

inline std::uint16_t ReadU16(const unsigned char* bytes)
{
    return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

inline std::uint32_t ReadU32(const unsigned char* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

inline std::int32_t ReadS32(const unsigned char* bytes)
{
    return static_cast<std::int32_t>(ReadU32(bytes));
}
