// The water surface's geometry: a flat grid over the terrain's square, in the grid's own
// coordinates (0 to 750 in x and z, y = 0), cut into 5-unit cells, each one strip of four
// vertices. Free of GL, so the pass that draws it and the tests walk the very same cells.
#pragma once

#include "scene/Terrain.h"
#include "water/TerrainTransform.h"

#include <array>
#include <cstdint>
#include <vector>

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

// The vertex at grid position (x, 0, z).
inline WaterGridVertex MakeWaterGridVertex(int x, int z)
{
    return WaterGridVertex{static_cast<float>(x / WaterGridSize * WaterTextureRepeat),
                           static_cast<float>(z / WaterGridSize * WaterTextureRepeat), static_cast<float>(x), 0.0f,
                           static_cast<float>(z)};
}

// The strip of the cell whose corner is (i, 0, j): both triangles face up (+y).
inline WaterGridCell MakeWaterGridCell(int i, int j)
{
    const int right = i + WaterGridStep;
    const int far = j + WaterGridStep;
    return {MakeWaterGridVertex(i, far), MakeWaterGridVertex(right, far), MakeWaterGridVertex(i, j),
            MakeWaterGridVertex(right, j)};
}

// Calls emitCell with every cell, rows of constant i, j growing fastest.
template <typename EmitCell>
void ForEachWaterGridCell(EmitCell emitCell)
{
    for (int i = 0; i < WaterGridSize; i += WaterGridStep)
        for (int j = 0; j < WaterGridSize; j += WaterGridStep)
            emitCell(MakeWaterGridCell(i, j));
}

// The whole grid for one draw: every corner once, and the cells' strips as indices into them, in
// the order ForEachWaterGridCell walks them, each strip ended by WaterGridStripEnd (the draw's
// primitive restart). Sent as 22,500 separate strips, the grid cost the driver more per frame
// than its pixels did.
struct WaterGridMesh
{
    std::vector<WaterGridVertex> vertices;
    std::vector<std::uint32_t> indices;
};

constexpr std::uint32_t WaterGridStripEnd = 0xFFFFFFFFu;

inline WaterGridMesh MakeWaterGridMesh()
{
    constexpr int Corners = static_cast<int>(WaterGridSize) / WaterGridStep + 1;
    const auto corner = [](int x, int z)
    { return static_cast<std::uint32_t>(x / WaterGridStep * Corners + z / WaterGridStep); };
    WaterGridMesh mesh;
    mesh.vertices.reserve(Corners * Corners);
    for (int x = 0; x <= WaterGridSize; x += WaterGridStep)
        for (int z = 0; z <= WaterGridSize; z += WaterGridStep)
            mesh.vertices.push_back(MakeWaterGridVertex(x, z));
    mesh.indices.reserve((Corners - 1) * (Corners - 1) * 5);
    ForEachWaterGridCell(
        [&](const WaterGridCell& cell)
        {
            for (const WaterGridVertex& v : cell)
                mesh.indices.push_back(corner(static_cast<int>(v.x), static_cast<int>(v.z)));
            mesh.indices.push_back(WaterGridStripEnd);
        });
    return mesh;
}
