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
