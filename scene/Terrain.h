// SPDX-License-Identifier: MIT
// The terrain height field: a 150 x 150 square sampled every 2 units, heights from two cosine
// waves with a folded floor, as an unshared triangle list generated once at start-up.
#pragma once

#include <cstddef>

constexpr int TerrainExtent = 150;
constexpr int TerrainStep = 2;
constexpr int TerrainCellsPerSide = TerrainExtent / TerrainStep;
constexpr int TerrainVertexCount = TerrainCellsPerSide * TerrainCellsPerSide * 6;  // 33750
constexpr std::size_t TerrainPositionBytes = TerrainVertexCount * 3 * sizeof(float);  // 405000
constexpr std::size_t TerrainTexCoordBytes = TerrainVertexCount * 2 * sizeof(float);  // 270000

// Height at an integer grid corner.
float TerrainHeight(int vx, int vz);

// Fills entries 0 to 33749 of both arrays (three floats and two floats per vertex).
void GenerateTerrain(float* positions, float* texCoords);

// How many triangles lie wholly above the water plane y = 0, how many reach it from both sides or
// touch it, and how many of those wholly below come within the shallow depth of it; the rest lie
// deeper.
struct TerrainWaterSplit
{
    int aboveOnly = 0;
    int crossing = 0;
    int shallow = 0;
};

// The same triangles as GenerateTerrain, each group in its order: first those wholly above the
// water, then those it crosses, then those wholly below but reaching higher than -shallowDepth,
// then the deeper ones. The reflection draws the first two groups and the refraction the last
// three: the clip plane of each would discard the rest, but only after shading their corners. A
// view that shows the terrain raised by shallowDepth over an opaque water surface draws the
// first three: the deepest never rise above the water.
TerrainWaterSplit GenerateTerrainByWater(float* positions, float* texCoords, float shallowDepth);

// Angular factor of the terrain's waves: 6.28318f + 6.28318f, a little under 4 pi. Defined with
// the scene objects in app/Globals.cpp.
extern const float TerrainFrequency;
