// SPDX-License-Identifier: MIT
#include "WaterMaps.h"

#include "Noise.h"
#include "Vec3.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace
{
constexpr float TwoPi = 6.28318530718f;

// A plane wave that repeats across the tile: whole numbers of cycles in x and y.
struct Wave
{
    int cyclesX;
    int cyclesY;
    float amplitude;
    float phase;
};

// A wind-driven sea: waves from directions spread about the wind's, long waves highest.
struct WaveLayer
{
    float windAngle; // radians from +x
    float spread;    // radians either side of the wind
    float minCycles;
    float maxCycles;
    int waveCount;
    int rippleCells;
    float rippleAmount;
    float relief;
    std::uint32_t seed;
};

const WaveLayer Layers[2] = {
    {0.35f, 0.45f, 3.0f, 11.0f, 24, 8, 0.1f, 26.0f, 17},
    {1.9f, 0.6f, 6.0f, 22.0f, 32, 16, 0.15f, 11.0f, 29},
};

Wave MakeWave(const WaveLayer& layer, int index)
{
    const float angle = layer.windAngle + layer.spread * (2.0f * HashUnit(3 * index, layer.seed) - 1.0f);
    const float cycles =
        layer.minCycles * std::pow(layer.maxCycles / layer.minCycles, HashUnit(3 * index + 1, layer.seed));
    const int cyclesX = static_cast<int>(std::lround(cycles * std::cos(angle)));
    const int cyclesY = static_cast<int>(std::lround(cycles * std::sin(angle)));
    const float length = std::hypot(static_cast<float>(cyclesX), static_cast<float>(cyclesY));
    const float amplitude = length > 0.0f ? 1.0f / length : 0.0f;
    return {cyclesX, cyclesY, amplitude, TwoPi * HashUnit(3 * index + 2, layer.seed)};
}

// Sharper crests and wider troughs than a sine, as wind waves have.
float Crest(float phase)
{
    const float wave = 0.5f + 0.5f * std::sin(phase);
    return std::pow(wave, 1.6f);
}

float LayerHeight(const WaveLayer& layer, const std::vector<Wave>& waves, float u, float v)
{
    float height = 0.0f;
    for (const Wave& wave : waves)
        height += wave.amplitude * Crest(TwoPi * (wave.cyclesX * u + wave.cyclesY * v) + wave.phase);
    const int cells = layer.rippleCells;
    return height + layer.rippleAmount * TileableFbm(u * cells, v * cells, cells, 4, layer.seed);
}

void NormaliseRange(std::vector<float>& heights)
{
    const auto [lowest, highest] = std::minmax_element(heights.begin(), heights.end());
    const float low = *lowest;
    const float range = *highest - low;
    for (float& height : heights)
        height = (height - low) / range;
}
}

float HeightField::At(int x, int y) const
{
    const int wrappedX = (x % size + size) % size;
    const int wrappedY = (y % size + size) % size;
    return heights[static_cast<std::size_t>(wrappedY) * size + wrappedX];
}

HeightField MakeWaveHeights(int layer, int size)
{
    const WaveLayer& settings = Layers[layer];
    std::vector<Wave> waves;
    for (int index = 0; index < settings.waveCount; ++index)
        waves.push_back(MakeWave(settings, index));

    HeightField field{size, settings.relief, std::vector<float>(static_cast<std::size_t>(size) * size)};
    for (int y = 0; y < size; ++y)
    {
        for (int x = 0; x < size; ++x)
            field.heights[static_cast<std::size_t>(y) * size + x] =
                LayerHeight(settings, waves, static_cast<float>(x) / size, static_cast<float>(y) / size);
    }
    NormaliseRange(field.heights);
    return field;
}

Picture HeightPicture(const HeightField& field)
{
    Picture picture(field.size, field.size);
    for (int y = 0; y < field.size; ++y)
    {
        for (int x = 0; x < field.size; ++x)
        {
            const float height = field.At(x, y);
            picture.Set(x, y, {height, height, height});
        }
    }
    return picture;
}

Picture NormalPicture(const HeightField& field)
{
    Picture picture(field.size, field.size);
    for (int y = 0; y < field.size; ++y)
    {
        for (int x = 0; x < field.size; ++x)
        {
            const float slopeX = 0.5f * (field.At(x + 1, y) - field.At(x - 1, y));
            const float slopeY = 0.5f * (field.At(x, y + 1) - field.At(x, y - 1));
            const Vec3 normal = Normalised({-field.relief * slopeX, -field.relief * slopeY, 1.0f});
            picture.Set(x, y, {0.5f + 0.5f * normal.x, 0.5f + 0.5f * normal.y, 0.5f + 0.5f * normal.z});
        }
    }
    return picture;
}
