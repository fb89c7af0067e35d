// SPDX-License-Identifier: MIT
// The water surface's quad, read exactly as the surface pass uploads it, without a context.
#include "water/WaterGrid.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

// Both triangles face up (+y) at water level, and together they cover the terrain's square once:
// their areas add up to the square's, and neither is degenerate.
TEST(WaterGrid, TwoTrianglesCoverTheTerrainSquareOnceAtWaterLevelFacingUp)
{
    const WaterGridMesh mesh = MakeWaterGridMesh();
    ASSERT_EQ(mesh.indices.size(), 6u);
    double area = 0.0;
    for (std::size_t first = 0; first < mesh.indices.size(); first += 3)
    {
        const WaterGridVertex& a = mesh.vertices.at(mesh.indices[first]);
        const WaterGridVertex& b = mesh.vertices.at(mesh.indices[first + 1]);
        const WaterGridVertex& c = mesh.vertices.at(mesh.indices[first + 2]);
        EXPECT_EQ(a.y + b.y + c.y, 0.0f);
        // y of (b - a) x (c - a): positive when the triangle faces +y.
        const double up = static_cast<double>(b.z - a.z) * (c.x - a.x) - static_cast<double>(b.x - a.x) * (c.z - a.z);
        EXPECT_GT(up, 0.0) << "triangle " << first / 3;
        area += up / 2.0;
    }
    EXPECT_EQ(area, 750.0 * 750.0);
}

TEST(WaterGrid, WaveMapsRepeatSixTimesFromCornerToCorner)
{
    using Pair = std::pair<float, float>;
    std::map<Pair, Pair> corners;
    for (const WaterGridVertex& v : MakeWaterGridMesh().vertices)
        corners[{v.x, v.z}] = {v.s, v.t};

    const std::map<Pair, Pair> expected = {{{0.0f, 0.0f}, {0.0f, 0.0f}},
                                           {{750.0f, 0.0f}, {6.0f, 0.0f}},
                                           {{0.0f, 750.0f}, {0.0f, 6.0f}},
                                           {{750.0f, 750.0f}, {6.0f, 6.0f}}};
    EXPECT_EQ(corners, expected);
}
