// The water grid's cells, walked exactly as the surface pass walks them, without a context.
#include "water/WaterGrid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <utility>

TEST(WaterGridTest, CellsCoverTheTerrainSquareExactlyAtWaterLevel)
{
    int cells = 0;
    float lowest = 1e9f, highest = -1e9f, lowestY = 1e9f, highestY = -1e9f;
    int lastCorner = 0;
    ForEachWaterGridCell(
        [&](const WaterGridCell& cell)
        {
            ++cells;
            lastCorner = std::max(lastCorner, static_cast<int>(cell[2].x));
            for (const WaterGridVertex& v : cell)
            {
                lowest = std::min({lowest, v.x, v.z});
                highest = std::max({highest, v.x, v.z});
                lowestY = std::min(lowestY, v.y);
                highestY = std::max(highestY, v.y);
            }
        });

    EXPECT_EQ(cells, 150 * 150);
    EXPECT_EQ(lowest, 0.0f);
    EXPECT_EQ(highest, 750.0f);
    EXPECT_EQ(lastCorner, 745);
    EXPECT_EQ(lowestY, 0.0f);
    EXPECT_EQ(highestY, 0.0f);
}

TEST(WaterGridTest, WaveMapsRepeatSixTimesFromCornerToCorner)
{
    std::map<std::pair<float, float>, std::pair<float, float>> corners;
    ForEachWaterGridCell(
        [&](const WaterGridCell& cell)
        {
            for (const WaterGridVertex& v : cell)
                if ((v.x == 0.0f || v.x == 750.0f) && (v.z == 0.0f || v.z == 750.0f))
                    corners[{v.x, v.z}] = {v.s, v.t};
        });

    using Coord = std::pair<float, float>;
    EXPECT_EQ(corners.size(), 4u);
    EXPECT_EQ(corners[(Coord{0.0f, 0.0f})], (Coord{0.0f, 0.0f}));
    EXPECT_EQ(corners[(Coord{750.0f, 0.0f})], (Coord{6.0f, 0.0f}));
    EXPECT_EQ(corners[(Coord{0.0f, 750.0f})], (Coord{0.0f, 6.0f}));
    EXPECT_EQ(corners[(Coord{750.0f, 750.0f})], (Coord{6.0f, 6.0f}));
}

TEST(WaterGridTest, EachStripFacesUp)
{
    const WaterGridCell cell = MakeWaterGridCell(370, 125);
    const float ax = cell[1].x - cell[0].x, az = cell[1].z - cell[0].z;
    const float bx = cell[2].x - cell[0].x, bz = cell[2].z - cell[0].z;
    EXPECT_GT(az * bx - ax * bz, 0.0f);  // y of (v2 - v1) x (v3 - v1)
    EXPECT_EQ(cell[3].x - cell[0].x, 5.0f);
    EXPECT_EQ(cell[0].z - cell[3].z, 5.0f);
}
