// SPDX-License-Identifier: MIT
#include "hdr/HDROffsets.h"

namespace
{
constexpr int BlurTapCount = 9;

struct Float2
{
    double x, y;
};

Float4 Pack(Float2 first, Float2 second)
{
    return Float4{static_cast<float>(first.x), static_cast<float>(first.y), static_cast<float>(second.x),
                  static_cast<float>(second.y)};
}

// Two pairs per vector, in order; an odd pair out is followed by the zero pair.
template <std::size_t VectorCount>
std::array<Float4, VectorCount> PackPairs(const std::array<Float2, 2 * VectorCount>& pairs)
{
    std::array<Float4, VectorCount> packed{};
    for (std::size_t i = 0; i < VectorCount; ++i)
        packed[i] = Pack(pairs[2 * i], pairs[2 * i + 1]);
    return packed;
}

// -1, -0.5, +0.5, +1 for k = 0 to 3: the tap at 0 is moved half a step outwards.
double SixteenTapStep(int k)
{
    double c = (k - 1) / 2.0;
    if (c < 0.001)
        c -= 0.5;
    return c;
}
}

std::array<Float4, 2> FourTapOffsets(int sourceWidth, int sourceHeight, int targetWidth, int targetHeight)
{
    const double u = (static_cast<double>(sourceWidth) / targetWidth / 2.0) * (1.0 / sourceWidth);
    const double v = (static_cast<double>(sourceHeight) / targetHeight / 2.0) * (1.0 / sourceHeight);
    const double a = 0.5 * u;
    const double b = 0.5 * v;
    return {Pack({-a, +b}, {+a, +b}), Pack({-a, -b}, {+a, -b})};
}

std::array<Float4, 5> NineTapOffsets(int sourceWidth, int sourceHeight)
{
    std::array<Float2, 10> taps{};
    int n = 0;
    for (int x = -1; x <= 1; ++x)
    {
        for (int y = -1; y <= 1; ++y)
            taps[n++] = Float2{static_cast<double>(x) / sourceWidth, static_cast<double>(y) / sourceHeight};
    }
    return PackPairs<5>(taps);
}

std::array<Float4, 8> SixteenTapOffsets(int targetSize)
{
    const double scale = 1.0 / (2.0 * targetSize);
    std::array<Float2, 16> taps{};
    for (int k = 0; k < 4; ++k)
    {
        for (int m = 0; m < 4; ++m)
            taps[4 * k + m] = Float2{SixteenTapStep(k) * scale, SixteenTapStep(m) * scale};
    }
    return PackPairs<8>(taps);
}

std::array<Float4, 5> BlurTaps(int size)
{
    std::array<Float2, 10> taps{};
    for (int t = 0; t < BlurTapCount; ++t)
    {
        const int i = 2 * t;
        const double offset = ((i - 9) / 2) * (1.0 / size);
        const float x = static_cast<float>((i - 8) / 8.0);
        const double weight = (1.0 - static_cast<double>(x) * x) / 4.0 + static_cast<double>(0.05f);
        taps[t] = Float2{offset, weight};
    }
    return PackPairs<5>(taps);
}
