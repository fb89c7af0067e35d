// SPDX-License-Identifier: MIT
// Sample offsets and weights of the HDR chain's passes, in texture coordinates, packed the way
// the effect's float4 parameters take them. They follow from the sizes of the targets alone (the
// scene's is the window's with a window-sized render), so they are worked out here without GL, in
// double precision and stored as floats.
#pragma once

#include <array>
#include <cstddef>

struct Float4
{
    float x, y, z, w;
};

// Four taps a quarter of a destination texel around its centre, for a reduction from a source
// of sourceWidth x sourceHeight to a target of targetWidth x targetHeight: the first vector holds
// the upper pair (-a, +b), (+a, +b), the second the lower pair (-a, -b), (+a, -b).
std::array<Float4, 2> FourTapOffsets(int sourceWidth, int sourceHeight, int targetWidth, int targetHeight);

// Nine taps of one source texel (x / width, y / height) for x, y in -1, 0, +1 (x outer), two per
// vector; the last vector holds the ninth tap and two zeros. The effect spreads them to 1.25
// texels, where linear filtering weighs a 4 x 4 footprint evenly.
std::array<Float4, 5> NineTapOffsets(int sourceWidth, int sourceHeight);

// Sixteen taps at -1, -0.5, +0.5, +1 times 1 / (2 x targetSize) on both axes (no tap at 0),
// first axis outer, two per vector: on the corners between the source texels of a 4:1 reduction.
// The effect moves each half a source texel towards the centre, onto one texel of the footprint.
std::array<Float4, 8> SixteenTapOffsets(int targetSize);

// Nine blur taps as (offset, weight) pairs, two per vector, the ninth with two zeros. Offsets
// run -4 to +3 texels of a texture of `size` texels with two taps at 0; the weights,
// 0.05 + (1 - x^2) / 4 for x from -1 to 1, are not normalised: the effect divides by their sum.
// The effect reads every tap on both sides of the texel, so the blur stays centred.
std::array<Float4, 5> BlurTaps(int size);
