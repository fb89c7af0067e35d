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

// The strip over the cells of row i from (i, 0, j) to (i + WaterGridStep, 0, far): both
// triangles face up (+y).
inline WaterGridCell MakeWaterGridStrip(int i, int j, int far)
{
    const int right = i + WaterGridStep;
    return {MakeWaterGridVertex(i, far), MakeWaterGridVertex(right, far), MakeWaterGridVertex(i, j),
            MakeWaterGridVertex(right, j)};
}

// The strip of the cell whose corner is (i, 0, j).
inline WaterGridCell MakeWaterGridCell(int i, int j)
{
    return MakeWaterGridStrip(i, j, j + WaterGridStep);
}

// Calls emitCell with every cell, rows of constant i, j growing fastest.
template <typename EmitCell>
void ForEachWaterGridCell(EmitCell emitCell)
{
    for (int i = 0; i < WaterGridSize; i += WaterGridStep)
        for (int j = 0; j < WaterGridSize; j += WaterGridStep)
            emitCell(MakeWaterGridCell(i, j));
}

// Land at least this high over a whole cell hides the water there from every eye above the
// terrain: a line from a point above a height field to a point below it crosses the field. The
// margin keeps a band of water along the shores, where the depth test must still decide.
constexpr float WaterHiddenUnderLand = 1.0f;

// Whether the terrain's mesh stands at least WaterHiddenUnderLand above the water over the
// whole cell whose corner is (i, 0, j). The cell spans one terrain unit, inside one terrain cell
// of TerrainStep units; the mesh over that cell is linear between its four corners, so it is
// nowhere lower than the lowest of them.
inline bool WaterGridCellUnderLand(int i, int j)
{
    const auto terrainCell = [](int grid)
    { return static_cast<int>(grid / TerrainScale) / TerrainStep * TerrainStep; };
    const int x = terrainCell(i);
    const int z = terrainCell(j);
    for (const int cornerX : {x, x + TerrainStep})
        for (const int cornerZ : {z, z + TerrainStep})
            if (TerrainHeight(cornerX, cornerZ) < WaterHiddenUnderLand)
                return false;
    return true;
}

// The grid for one draw: every corner once, and one strip for each run of neighbouring cells in a
// row that are not under land, as the two triangles a strip of four makes, (v0, v1, v2) and
// (v2, v1, v3), in the order ForEachWaterGridCell walks the cells. Plain triangles draw on any
// OpenGL (a restarted strip needs 3.1). The cells under land, about two in five, were only ever
// hidden by the terrain. The surface is flat and every value its vertices hand on is linear in
// the position, so a long strip shades as its cells would; a driver that shades on the processor
// pays for every triangle, and 22,500 cells cost it more than their pixels did.
struct WaterGridMesh
{
    std::vector<WaterGridVertex> vertices;
    std::vector<std::uint32_t> indices;
};

// Where each vertex of a cell's strip goes in its two triangles.
constexpr std::array<int, 6> WaterGridCellTriangles = {0, 1, 2, 2, 1, 3};

inline WaterGridMesh MakeWaterGridMesh()
{
    constexpr int Corners = static_cast<int>(WaterGridSize) / WaterGridStep + 1;
    const auto corner = [](const WaterGridVertex& v)
    {
        return static_cast<std::uint32_t>(static_cast<int>(v.x) / WaterGridStep * Corners +
                                          static_cast<int>(v.z) / WaterGridStep);
    };
    WaterGridMesh mesh;
    mesh.vertices.reserve(Corners * Corners);
    for (int x = 0; x <= WaterGridSize; x += WaterGridStep)
        for (int z = 0; z <= WaterGridSize; z += WaterGridStep)
            mesh.vertices.push_back(MakeWaterGridVertex(x, z));
    mesh.indices.reserve((Corners - 1) * (Corners - 1) * WaterGridCellTriangles.size());
    const auto emitStrip = [&](const WaterGridCell& strip)
    {
        for (int k : WaterGridCellTriangles)
            mesh.indices.push_back(corner(strip[k]));
    };
    // The run being gathered: row i, from j to far; none while far is j.
    int i = 0, j = 0, far = 0;
    ForEachWaterGridCell(
        [&](const WaterGridCell& cell)
        {
            const int x = static_cast<int>(cell[2].x);
            const int z = static_cast<int>(cell[2].z);
            if (WaterGridCellUnderLand(x, z))
                return;
            if (x == i && z == far && far > j)
            {
                far += WaterGridStep;
                return;
            }
            if (far > j)
                emitStrip(MakeWaterGridStrip(i, j, far));
            i = x;
            j = z;
            far = z + WaterGridStep;
        });
    if (far > j)
        emitStrip(MakeWaterGridStrip(i, j, far));
    return mesh;
}
