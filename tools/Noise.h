// SPDX-License-Identifier: MIT
// Deterministic gradient noise: 2D noise that tiles with a whole number of lattice cells, for
// textures that repeat without seams, and 3D noise for shading directions. Values lie roughly in
// -1..1; the seed picks an independent field.
#pragma once

#include "Vec3.h"

#include <cstdint>

// A deterministic value in 0..1 for the pair (`index`, `seed`): the generator's only source of chance.
float HashUnit(int index, std::uint32_t seed);

// Repeats every `period` units in x and y.
float TileableNoise(float x, float y, int period, std::uint32_t seed);

// `octaves` layers of tileable noise, each of twice the frequency and half the amplitude of the
// one before, normalised back to about -1..1. Repeats every `period` units like its first layer.
float TileableFbm(float x, float y, int period, int octaves, std::uint32_t seed);

float Noise(const Vec3& point, std::uint32_t seed);
float Fbm(const Vec3& point, int octaves, std::uint32_t seed);
