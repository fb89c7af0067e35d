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

namespace
{
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
}

// The single draw must cover every cell where the water shows once, with strips laid like the
// cells' own: none may be left out where the terrain's mesh comes down to the water.
TEST(WaterGridTest, TheOneDrawMeshCoversEveryCellNotUnderLandOnceWithStripsOfNeighbouringCellsInARow)
{
    const WaterGridMesh mesh = MakeWaterGridMesh();
    ASSERT_EQ(mesh.vertices.size(), 151u * 151u);
    ASSERT_EQ(mesh.indices.size() % 6, 0u);
    // A strip of four draws (v0, v1, v2) and then, with its order turned to keep the facing,
    // (v2, v1, v3); v2 is its first cell's corner and v0 lies along the row from it.
    constexpr int StripTriangles[6] = {0, 1, 2, 2, 1, 3};
    std::map<std::pair<int, int>, int> covered;
    int malformed = 0;
    for (std::size_t first = 0; first < mesh.indices.size(); first += 6)
    {
        const WaterGridVertex& near = mesh.vertices.at(mesh.indices[first + 2]);
        const WaterGridVertex& far = mesh.vertices.at(mesh.indices[first]);
        const int i = static_cast<int>(near.x), j = static_cast<int>(near.z), end = static_cast<int>(far.z);
        const WaterGridCell strip = MakeWaterGridStrip(i, j, end);
        for (int k = 0; k < 6; ++k)
        {
            const WaterGridVertex& v = strip[StripTriangles[k]];
            const WaterGridVertex& drawn = mesh.vertices.at(mesh.indices[first + k]);
            malformed += drawn.x != v.x || drawn.y != v.y || drawn.z != v.z || drawn.s != v.s || drawn.t != v.t;
        }
        malformed += end <= j || end % WaterGridStep != 0;
        for (int z = j; z < end; z += WaterGridStep)
            ++covered[{i, z}];
    }
    EXPECT_EQ(malformed, 0);
    int twice = 0, waterLeftOut = 0;
    ForEachWaterGridCell(
        [&](const WaterGridCell& cell)
        {
            const int i = static_cast<int>(cell[2].x), j = static_cast<int>(cell[2].z);
            const auto found = covered.find({i, j});
            const int count = found == covered.end() ? 0 : found->second;
            twice += count > 1;
            waterLeftOut += count == 0 && LowestLandOverCell(i, j) < 0.5;
        });
    EXPECT_EQ(twice, 0);
    EXPECT_EQ(waterLeftOut, 0) << "cells left out where the water shows";
    // The four lakes and their shores take a little over half of the square, in a few hundred
    // runs.
    EXPECT_GT(covered.size(), 22500u * 45 / 100);
    EXPECT_LT(covered.size(), 22500u * 65 / 100);
    EXPECT_LT(mesh.indices.size() / 6, 1000u);
}
