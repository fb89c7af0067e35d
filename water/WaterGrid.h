// SPDX-License-Identifier: MIT
// The water surface's geometry: one flat quad over the terrain's square, or the quads over its
// lakes alone, in the grid's own coordinates (0 to 750 in x and z, y = 0). Free of GL, so the
// pass that draws it and the tests read the very same corners.
#pragma once

#include "scene/Terrain.h"
#include "water/TerrainTransform.h"

#include <cstdint>
#include <vector>

// Side of the grid: the terrain's extent at its scale in the world.
constexpr float WaterGridSize = TerrainExtent * TerrainScale;
// The wave maps repeat this many times across the grid.
constexpr double WaterTextureRepeat = 6.0;

struct WaterGridVertex
{
    float s, t;
    float x, y, z;
};

// The vertex at grid position (x, 0, z).
inline WaterGridVertex MakeWaterGridVertex(int x, int z)
{
    return WaterGridVertex{static_cast<float>(x / WaterGridSize * WaterTextureRepeat),
                           static_cast<float>(z / WaterGridSize * WaterTextureRepeat), static_cast<float>(x), 0.0f,
                           static_cast<float>(z)};
}

// The surface for one draw: four corners and two triangles, both facing up (+y), for each of its
// quads. The surface is flat and every value its vertices hand on is linear in the position, so
// one quad shades exactly as a grid of small cells over the same square would. Where the land
// stands above the water, the terrain's depth, laid down first, hides the quad before it is
// shaded. A renderer that shades on the processor works in blocks of 4 x 4 pixels and shades a
// whole block for every triangle that touches it: far away, rows of 5-unit cells are only a few
// pixels tall, and every block along them was shaded two or three times over. Two triangles touch
// each block once, but for the few along their shared edge.
struct WaterGridMesh
{
    std::vector<WaterGridVertex> vertices;
    std::vector<std::uint32_t> indices;
};

WaterGridMesh MakeWaterGridMesh();

// Side of the lake mesh's blocks, in terrain cells: 15 blocks a side.
constexpr int LakeBlockCells = 5;

// The same surface over only those blocks of the square where the main view's terrain, raised by
// MainViewTerrainLift, reaches down to the water; elsewhere the land hides all of it. Blocks side
// by side along x make one quad. For a multisampled target, which a processor renderer tests for
// depth only after shading: the quad over the whole square had all of its hidden part shaded.
WaterGridMesh MakeLakeWaterMesh();
