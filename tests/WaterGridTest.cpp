// The water grid's cells, walked exactly as the surface pass walks them, without a context.
#include "water/WaterGrid.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// The single draw must draw the very cells that the tests above check: strip by strip, in order.
TEST(WaterGridTest, TheOneDrawMeshHoldsEveryCellsStripAsItsTwoTrianglesInWalkingOrder)
{
    const WaterGridMesh mesh = MakeWaterGridMesh();
    ASSERT_EQ(mesh.vertices.size(), 151u * 151u);
    ASSERT_EQ(mesh.indices.size(), 150u * 150u * 6u);
    // A strip of four draws (v0, v1, v2) and then, with its order turned to keep the facing,
    // (v2, v1, v3).
    constexpr int StripTriangles[6] = {0, 1, 2, 2, 1, 3};
    std::size_t next = 0;
    int mismatches = 0;
    ForEachWaterGridCell(
        [&](const WaterGridCell& cell)
        {
            for (int k : StripTriangles)
            {
                const WaterGridVertex& v = cell[k];
                const WaterGridVertex& drawn = mesh.vertices.at(mesh.indices[next++]);
                mismatches += drawn.x != v.x || drawn.y != v.y || drawn.z != v.z || drawn.s != v.s || drawn.t != v.t;
            }
        });
    EXPECT_EQ(mismatches, 0);
}
