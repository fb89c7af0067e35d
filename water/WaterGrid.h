// The water surface's geometry: a flat grid over the terrain's square, in the grid's own
// coordinates (0 to 750 in x and z, y = 0), cut into 5-unit cells, each sent as one strip of four
// vertices. Free of GL, so the pass that draws it and the tests walk the very same cells.
#pragma once

#include "scene/Terrain.h"
#include "water/TerrainTransform.h"

#include <array>

// Side of the grid: the terrain's extent at its scale in the world.
constexpr float WaterGridSize = TerrainExtent * TerrainScale;
constexpr int WaterGridStep = 5;
// The wave maps repeat this many times across the grid.
constexpr double WaterTextureRepeat = 6.0;

struct WaterGridVertex
{
    float s, t;
    float x, y, z;
};

using WaterGridCell = std::array<WaterGridVertex, 4>;

// The strip of the cell whose corner is (i, 0, j): both triangles face up (+y).
inline WaterGridCell MakeWaterGridCell(int i, int j)
{
    const auto vertex = [](int x, int z)
    {
        return WaterGridVertex{static_cast<float>(x / WaterGridSize * WaterTextureRepeat),
                               static_cast<float>(z / WaterGridSize * WaterTextureRepeat), static_cast<float>(x), 0.0f,
                               static_cast<float>(z)};
    };
    const int right = i + WaterGridStep;
    const int far = j + WaterGridStep;
    return {vertex(i, far), vertex(right, far), vertex(i, j), vertex(right, j)};
}

// Calls emitCell with every cell, rows of constant i, j growing fastest.
template <typename EmitCell>
void ForEachWaterGridCell(EmitCell emitCell)
{
    for (int i = 0; i < WaterGridSize; i += WaterGridStep)
        for (int j = 0; j < WaterGridSize; j += WaterGridStep)
            emitCell(MakeWaterGridCell(i, j));
}
