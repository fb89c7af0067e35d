// SPDX-License-Identifier: MIT
#include "TerrainMaterial.h"

#include "Noise.h"

namespace
{
const Colour GrassDark{0.15f, 0.25f, 0.07f};
const Colour GrassLight{0.33f, 0.45f, 0.14f};
const Colour DryGrass{0.45f, 0.45f, 0.22f};
const Colour EarthDark{0.28f, 0.21f, 0.13f};
const Colour EarthLight{0.47f, 0.37f, 0.24f};
const Colour StoneDark{0.36f, 0.35f, 0.33f};
const Colour StoneLight{0.60f, 0.58f, 0.54f};

// Light falls from the upper left; the shading is sampled this far apart, in tile widths.
constexpr float ShadeStep = 1.5f / 512.0f;
constexpr float ShadeStrength = 4.0f;

// A noise field over the tile: u and v run 0..1 and the field repeats `cells` times across it.
float Field(float u, float v, int cells, int octaves, std::uint32_t seed)
{
    return TileableFbm(u * cells, v * cells, cells, octaves, seed);
}

// Where stones lie: 0 on soil, rising to 1 on a stone.
float Stones(float u, float v)
{
    return Smoothstep(0.2f, 0.36f, Field(u, v, 10, 4, 505));
}

// The small-scale shape of the ground, used only to shade it.
float Relief(float u, float v)
{
    return 0.5f * Field(u, v, 16, 4, 707) + 0.12f * Stones(u, v);
}

Colour Albedo(float u, float v)
{
    const float mottle = Clamp01(0.5f + 0.9f * Field(u, v, 32, 4, 101));
    const Colour grass =
        Mix(Mix(GrassDark, GrassLight, mottle), DryGrass, 0.7f * Smoothstep(0.05f, 0.35f, Field(u, v, 6, 4, 404)));
    const Colour earth = Mix(EarthDark, EarthLight, mottle);
    const Colour stone = Mix(StoneDark, StoneLight, Clamp01(0.55f + 1.2f * Field(u, v, 24, 4, 202)));

    const Colour soil = Mix(earth, grass, Smoothstep(-0.18f, 0.12f, Field(u, v, 4, 5, 303)));
    return Mix(soil, stone, Stones(u, v));
}

Colour GroundColour(float u, float v)
{
    const float slope = Relief(u - ShadeStep, v + ShadeStep) - Relief(u + ShadeStep, v - ShadeStep);
    const float grain = TileableNoise(u * 128.0f, v * 128.0f, 128, 606);
    return Albedo(u, v) * ((1.0f + ShadeStrength * slope) * (0.93f + 0.1f * grain));
}
}

Picture MakeTerrainMaterial(int size)
{
    Picture picture(size, size);
    for (int y = 0; y < size; ++y)
    {
        for (int x = 0; x < size; ++x)
            picture.Set(x, y, GroundColour((x + 0.5f) / size, (y + 0.5f) / size));
    }
    return picture;
}
