// SPDX-License-Identifier: MIT
#include "Noise.h"

#include "Shaping.h"

#include <cmath>

namespace
{
constexpr float TwoPi = 6.28318530718f;

std::uint32_t Mix(std::uint32_t value)
{
    value ^= value >> 16;
    value *= 0x7FEB352Du;
    value ^= value >> 15;
    value *= 0x846CA68Bu;
    value ^= value >> 16;
    return value;
}

std::uint32_t Hash(int x, int y, int z, std::uint32_t seed)
{
    return Mix(static_cast<std::uint32_t>(x) * 0x8DA6B343u ^ static_cast<std::uint32_t>(y) * 0xD8163841u ^
               static_cast<std::uint32_t>(z) * 0xCB1AB31Fu ^ Mix(seed));
}

// Quintic fade: the noise's first and second derivatives stay continuous across cells.
float Fade(float t)
{
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

int Wrap(int cell, int period)
{
    const int wrapped = cell % period;
    return wrapped < 0 ? wrapped + period : wrapped;
}

float Gradient2(int cellX, int cellY, float dx, float dy, std::uint32_t seed)
{
    const float angle = static_cast<float>(Hash(cellX, cellY, 0, seed)) * (TwoPi / 4294967296.0f);
    return std::cos(angle) * dx + std::sin(angle) * dy;
}

// One of the twelve directions to the edges of a cube, the classic 3D gradient set.
float Gradient3(int cellX, int cellY, int cellZ, const Vec3& d, std::uint32_t seed)
{
    switch (Hash(cellX, cellY, cellZ, seed) % 12)
    {
    case 0: return d.x + d.y;
    case 1: return -d.x + d.y;
    case 2: return d.x - d.y;
    case 3: return -d.x - d.y;
    case 4: return d.x + d.z;
    case 5: return -d.x + d.z;
    case 6: return d.x - d.z;
    case 7: return -d.x - d.z;
    case 8: return d.y + d.z;
    case 9: return -d.y + d.z;
    case 10: return d.y - d.z;
    default: return -d.y - d.z;
    }
}
}

float HashUnit(int index, std::uint32_t seed)
{
    return static_cast<float>(Hash(index, 0, 0, seed)) / 4294967295.0f;
}

float TileableNoise(float x, float y, int period, std::uint32_t seed)
{
    const float floorX = std::floor(x);
    const float floorY = std::floor(y);
    const float dx = x - floorX;
    const float dy = y - floorY;
    const int x0 = Wrap(static_cast<int>(floorX), period);
    const int y0 = Wrap(static_cast<int>(floorY), period);
    const int x1 = Wrap(x0 + 1, period);
    const int y1 = Wrap(y0 + 1, period);

    const float bottom = Lerp(Gradient2(x0, y0, dx, dy, seed), Gradient2(x1, y0, dx - 1.0f, dy, seed), Fade(dx));
    const float top =
        Lerp(Gradient2(x0, y1, dx, dy - 1.0f, seed), Gradient2(x1, y1, dx - 1.0f, dy - 1.0f, seed), Fade(dx));
    return std::sqrt(2.0f) * Lerp(bottom, top, Fade(dy));
}

float TileableFbm(float x, float y, int period, int octaves, std::uint32_t seed)
{
    float sum = 0.0f;
    float total = 0.0f;
    float amplitude = 1.0f;
    for (int octave = 0; octave < octaves; ++octave)
    {
        const int scale = 1 << octave;
        sum += amplitude * TileableNoise(x * scale, y * scale, period * scale, seed + octave);
        total += amplitude;
        amplitude *= 0.5f;
    }
    return sum / total;
}

float Noise(const Vec3& point, std::uint32_t seed)
{
    const Vec3 cell{std::floor(point.x), std::floor(point.y), std::floor(point.z)};
    const Vec3 d = point - cell;
    const int x = static_cast<int>(cell.x);
    const int y = static_cast<int>(cell.y);
    const int z = static_cast<int>(cell.z);

    float corners[2][2];
    for (int j = 0; j < 2; ++j)
    {
        for (int k = 0; k < 2; ++k)
        {
            const Vec3 near = d - Vec3{0.0f, float(j), float(k)};
            const Vec3 far = d - Vec3{1.0f, float(j), float(k)};
            corners[j][k] =
                Lerp(Gradient3(x, y + j, z + k, near, seed), Gradient3(x + 1, y + j, z + k, far, seed), Fade(d.x));
        }
    }
    const float front = Lerp(corners[0][0], corners[1][0], Fade(d.y));
    const float back = Lerp(corners[0][1], corners[1][1], Fade(d.y));
    return Lerp(front, back, Fade(d.z));
}

float Fbm(const Vec3& point, int octaves, std::uint32_t seed)
{
    float sum = 0.0f;
    float total = 0.0f;
    float amplitude = 1.0f;
    float scale = 1.0f;
    for (int octave = 0; octave < octaves; ++octave)
    {
        sum += amplitude * Noise(point * scale, seed + octave);
        total += amplitude;
        amplitude *= 0.5f;
        scale *= 2.0f;
    }
    return sum / total;
}
