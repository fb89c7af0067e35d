// SPDX-License-Identifier: MIT
#include "scene/Terrain.h"


#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace
{
// Turns a grid coordinate into a fraction of the extent.
constexpr double WaveDivisor = 150.0;
constexpr double HeightAmplitude = 10.0;
// Heights below the floor are mirrored about it, so the troughs become low mounds.
constexpr double FloorLevel = -10.5;
// The material repeats this many times across the square.
constexpr double TextureScale = 10.0;

// Every step is rounded to float exactly where the height is defined to be, so that a corner
// recomputed for each triangle that touches it comes out bit-identical and the mesh has no cracks.
float Wave(int u)
{
    const float angle = static_cast<float>(u / WaveDivisor * TerrainFrequency);
    return static_cast<float>(std::cos(static_cast<double>(angle)));
}

float TextureCoordinate(int v)
{
    return static_cast<float>(v / WaveDivisor * TextureScale);
}

// The six corners of the cell at (x, z): two triangles sharing the diagonal (x + 2, z) - (x, z + 2).
constexpr int CellCorners[6][2] = {{0, 0}, {TerrainStep, 0}, {0, TerrainStep},
                                   {TerrainStep, 0}, {0, TerrainStep}, {TerrainStep, TerrainStep}};
}

float TerrainHeight(int vx, int vz)
{
    float y = static_cast<float>(HeightAmplitude * Wave(vx));
    y = static_cast<float>(HeightAmplitude * Wave(vz) + y);
    if (y < FloorLevel)
        y = static_cast<float>(y + 2.0 * (FloorLevel - y));
    return y;
}

void GenerateTerrain(float* positions, float* texCoords)
{
    for (int x = 0; x < TerrainExtent; x += TerrainStep)
    {
        for (int z = 0; z < TerrainExtent; z += TerrainStep)
        {
            for (const auto& corner : CellCorners)
            {
                const int vx = x + corner[0];
                const int vz = z + corner[1];
                *positions++ = static_cast<float>(vx);
                *positions++ = TerrainHeight(vx, vz);
                *positions++ = static_cast<float>(vz);
                *texCoords++ = TextureCoordinate(vx);
                *texCoords++ = TextureCoordinate(vz);
            }
        }
    }
}

TerrainWaterSplit GenerateTerrainByWater(float* positions, float* texCoords, float shallowDepth)
{
    std::vector<float> listPositions(TerrainVertexCount * 3);
    std::vector<float> listTexCoords(TerrainVertexCount * 2);
    GenerateTerrain(listPositions.data(), listTexCoords.data());
    std::array<std::vector<int>, 4> groups;  // above, crossing, shallow, deep
    for (int triangle = 0; triangle < TerrainVertexCount / 3; ++triangle)
    {
        const float* corner = &listPositions[9 * triangle];
        const float lowest = std::min({corner[1], corner[4], corner[7]});
        const float highest = std::max({corner[1], corner[4], corner[7]});
        const int group = lowest > 0.0f ? 0 : highest >= 0.0f ? 1 : highest >= -shallowDepth ? 2 : 3;
        groups[group].push_back(triangle);
    }
    for (const std::vector<int>& group : groups)
        for (int triangle : group)
        {
            positions = std::copy_n(&listPositions[9 * triangle], 9, positions);
            texCoords = std::copy_n(&listTexCoords[6 * triangle], 6, texCoords);
        }
    return TerrainWaterSplit{static_cast<int>(groups[0].size()), static_cast<int>(groups[1].size()),
                             static_cast<int>(groups[2].size())};
}
