// The water grid's cells, walked exactly as the surface pass walks them, without a context.
#include "water/WaterGrid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

TEST(WaterGridTest, CellsCoverTheTerrainSquareAtWaterLevelFacingUp)
{
    int cells = 0;
    int lastCorner = 0;
    float lowest = 1.0f, highest = 0.0f, highestY = 0.0f;
    ForEachWaterGridCell(
        [&](const WaterGridCell& cell)
        {
            ++cells;
            lastCorner = std::max(lastCorner, static_cast<int>(cell[2].x));
            for (const WaterGridVertex& v : cell)
            {
                lowest = std::min({lowest, v.x, v.z});
                highest = std::max({highest, v.x, v.z});
                highestY = std::max(highestY, std::abs(v.y));
            }
        });

    EXPECT_EQ(cells, 150 * 150);
    EXPECT_EQ(lowest, 0.0f);
    EXPECT_EQ(highest, 750.0f);
    EXPECT_EQ(lastCorner, 745);
    EXPECT_EQ(highestY, 0.0f);

    // y of (v2 - v1) x (v3 - v1): the first triangle of the strip faces +y.
    const WaterGridCell cell = MakeWaterGridCell(370, 125);
    EXPECT_GT((cell[1].z - cell[0].z) * (cell[2].x - cell[0].x) - (cell[1].x - cell[0].x) * (cell[2].z - cell[0].z),
              0.0f);
}

TEST(WaterGridTest, WaveMapsRepeatSixTimesFromCornerToCorner)
{
    using Pair = std::pair<float, float>;
    std::map<Pair, Pair> corners;
    ForEachWaterGridCell(
        [&](const WaterGridCell& cell)
        {
            for (const WaterGridVertex& v : cell)
                if ((v.x == 0.0f || v.x == 750.0f) && (v.z == 0.0f || v.z == 750.0f))
                    corners[{v.x, v.z}] = {v.s, v.t};
        });

    const std::map<Pair, Pair> expected = {{{0.0f, 0.0f}, {0.0f, 0.0f}},
                                           {{750.0f, 0.0f}, {6.0f, 0.0f}},
                                           {{0.0f, 750.0f}, {0.0f, 6.0f}},
                                           {{750.0f, 750.0f}, {6.0f, 6.0f}}};
    EXPECT_EQ(corners, expected);
}

// The terrain's mesh at terrain coordinates (x, z), in double precision from its two cosine waves
// and folded floor: linear over each of the two triangles of the 2-unit cell that holds the point.
double TerrainMeshHeight(double x, double z)
{
    const auto corner = [](int vx, int vz)
    {
        const double frequency = 2.0 * 6.28318;
        const double y = 10.0 * std::cos(vx / 150.0 * frequency) + 10.0 * std::cos(vz / 150.0 * frequency);
        return y < -10.5 ? -21.0 - y : y;
    };
    const int x0 = std::min(static_cast<int>(x) / 2 * 2, 148);
    const int z0 = std::min(static_cast<int>(z) / 2 * 2, 148);
    const double u = (x - x0) / 2.0, v = (z - z0) / 2.0;
    // Triangles (0,0) (2,0) (0,2) and (2,0) (0,2) (2,2), split by the diagonal u + v = 1.
    if (u + v <= 1.0)
        return corner(x0, z0) + u * (corner(x0 + 2, z0) - corner(x0, z0)) + v * (corner(x0, z0 + 2) - corner(x0, z0));
    return corner(x0 + 2, z0 + 2) + (1.0 - u) * (corner(x0, z0 + 2) - corner(x0 + 2, z0 + 2)) +
           (1.0 - v) * (corner(x0 + 2, z0) - corner(x0 + 2, z0 + 2));
}

// The lowest the terrain's mesh comes over the water cell with corner (i, 0, j), sampled on a
// grid of points finer than the cell's 5 units.
double LowestLandOverCell(int i, int j)
{
    double lowest = 1.0e9;
    for (int a = 0; a <= 10; ++a)
        for (int b = 0; b <= 10; ++b)
            lowest = std::min(lowest, TerrainMeshHeight((i + a * 0.5) / 5.0, (j + b * 0.5) / 5.0));
    return lowest;
}

// The single draw must draw the very cells that the tests above check, strip by strip, in order,
// leaving out only cells that the terrain hides: none where its mesh comes down to the water.
TEST(WaterGridTest, TheOneDrawMeshHoldsTheStripOfEveryCellNotUnderLandAsItsTwoTrianglesInWalkingOrder)
{
    const WaterGridMesh mesh = MakeWaterGridMesh();
    ASSERT_EQ(mesh.vertices.size(), 151u * 151u);
    ASSERT_EQ(mesh.indices.size() % 6, 0u);
    // A strip of four draws (v0, v1, v2) and then, with its order turned to keep the facing,
    // (v2, v1, v3).
    constexpr int StripTriangles[6] = {0, 1, 2, 2, 1, 3};
    std::size_t next = 0;
    int mismatches = 0, drawnCells = 0, hiddenWater = 0;
    ForEachWaterGridCell(
        [&](const WaterGridCell& cell)
        {
            const bool drawn = next < mesh.indices.size() && mesh.vertices[mesh.indices[next + 2]].x == cell[2].x &&
                               mesh.vertices[mesh.indices[next + 2]].z == cell[2].z;
            hiddenWater += !drawn && LowestLandOverCell(static_cast<int>(cell[2].x), static_cast<int>(cell[2].z)) < 0.5;
            if (!drawn)
                return;
            ++drawnCells;
            for (int k : StripTriangles)
            {
                const WaterGridVertex& v = cell[k];
                const WaterGridVertex& drawnVertex = mesh.vertices.at(mesh.indices[next++]);
                mismatches += drawnVertex.x != v.x || drawnVertex.y != v.y || drawnVertex.z != v.z ||
                              drawnVertex.s != v.s || drawnVertex.t != v.t;
            }
        });
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(next, mesh.indices.size()) << "triangles out of walking order";
    EXPECT_EQ(hiddenWater, 0) << "cells left out where the water shows";
    // The four lakes and their shores take a little over half of the square.
    EXPECT_GT(drawnCells, 22500 * 45 / 100);
    EXPECT_LT(drawnCells, 22500 * 65 / 100);
}
