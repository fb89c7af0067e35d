// SPDX-License-Identifier: MIT
#include "Arguments.h"

#include <charconv>
#include <cstring>
#include <string>
#include <system_error>

namespace
{
constexpr int LargestSide = 16384;

// The whole of [first, last) is one number, in range of its type.
template <typename Number>
bool ParseWhole(const char* first, const char* last, Number& value)
{
    const std::from_chars_result result = std::from_chars(first, last, value);
    return first != last && result.ec == std::errc() && result.ptr == last;
}
}

bool ParseCount(const char* text, long low, long high, long& value)
{
    long parsed = 0;
    if (!ParseWhole(text, text + std::strlen(text), parsed) || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

bool ParseCount(const char* text, int low, int high, int& value)
{
    long parsed = 0;
    if (!ParseCount(text, static_cast<long>(low), static_cast<long>(high), parsed))
        return false;
    value = static_cast<int>(parsed);
    return true;
}

// Not a number and the infinities fail the range test.
bool ParseReal(const char* text, double low, double high, double& value)
{
    double parsed = 0.0;
    if (!ParseWhole(text, text + std::strlen(text), parsed) || !(parsed >= low && parsed <= high))
        return false;
    value = parsed;
    return true;
}

bool ParseTriple(const char* text, double low, double high, float& x, float& y, float& z)
{
    const std::string whole = text;
    const size_t first = whole.find(',');
    const size_t second = first == std::string::npos ? first : whole.find(',', first + 1);
    double parsed[3] = {};
    if (second == std::string::npos || !ParseReal(whole.substr(0, first).c_str(), low, high, parsed[0]) ||
        !ParseReal(whole.substr(first + 1, second - first - 1).c_str(), low, high, parsed[1]) ||
        !ParseReal(whole.substr(second + 1).c_str(), low, high, parsed[2]))
        return false;
    x = static_cast<float>(parsed[0]);
    y = static_cast<float>(parsed[1]);
    z = static_cast<float>(parsed[2]);
    return true;
}

bool ParseSize(const char* text, int& width, int& height)
{
    const char* end = text + std::strlen(text);
    const char* cross = std::strchr(text, 'x');
    int parsedWidth = 0, parsedHeight = 0;
    if (cross == nullptr || !ParseWhole(text, cross, parsedWidth) || !ParseWhole(cross + 1, end, parsedHeight) ||
        parsedWidth < 1 || parsedWidth > LargestSide || parsedHeight < 1 || parsedHeight > LargestSide)
        return false;
    width = parsedWidth;
    height = parsedHeight;
    return true;
}
