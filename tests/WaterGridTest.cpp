// SPDX-License-Identifier: MIT
// The water surface's quad, read exactly as the surface pass uploads it, without a context.
#include "water/WaterGrid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

namespace
{
// Twice the area of each triangle as seen from above: positive when it faces up (+y).
std::vector<double> UpwardAreas(const WaterGridMesh& mesh)
{
    std::vector<double> areas;
    for (std::size_t first = 0; first + 2 < mesh.indices.size(); first += 3)
    {
        const WaterGridVertex& a = mesh.vertices.at(mesh.indices[first]);
        const WaterGridVertex& b = mesh.vertices.at(mesh.indices[first + 1]);
        const WaterGridVertex& c = mesh.vertices.at(mesh.indices[first + 2]);
        areas.push_back(static_cast<double>(b.z - a.z) * (c.x - a.x) - static_cast<double>(b.x - a.x) * (c.z - a.z));
    }
    return areas;
}
}

// Both triangles face up (+y) at water level, and together they cover the terrain's square once:
// their areas add up to the square's, and neither is degenerate.
TEST(WaterGrid, TwoTrianglesCoverTheTerrainSquareOnceAtWaterLevelFacingUp)
{
    const WaterGridMesh mesh = MakeWaterGridMesh();
    ASSERT_EQ(mesh.indices.size(), 6u);
    for (const WaterGridVertex& v : mesh.vertices)
        EXPECT_EQ(v.y, 0.0f);
    double area = 0.0;
    for (const double up : UpwardAreas(mesh))
    {
        EXPECT_GT(up, 0.0);
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

// The lake mesh, against the terrain's own heights: every terrain cell where the main view's
// raised terrain reaches down to the water lies under exactly one of its quads, no cell lies
// under two, and the cells it leaves out are all dry. Its triangles face up at water level, and
// the wave maps run across them as across the whole square.
TEST(WaterGrid, TheLakeMeshCoversEveryCellThatReachesTheWaterOnceAndLeavesOutOnlyDryLand)
{
    const WaterGridMesh mesh = MakeLakeWaterMesh();
    ASSERT_EQ(mesh.indices.size() % 6, 0u);
    constexpr float CellSide = TerrainStep * TerrainScale;
    int wetCells = 0, leftOut = 0;
    for (int cellX = 0; cellX < TerrainCellsPerSide; ++cellX)
        for (int cellZ = 0; cellZ < TerrainCellsPerSide; ++cellZ)
        {
            const float x = (cellX + 0.5f) * CellSide, z = (cellZ + 0.5f) * CellSide;
            int covering = 0;
            for (std::size_t quad = 0; quad < mesh.vertices.size(); quad += 4)
            {
                const WaterGridVertex& low = mesh.vertices[quad + 2];
                const WaterGridVertex& high = mesh.vertices[quad + 1];
                covering += x > low.x && x < high.x && z > low.z && z < high.z;
            }
            float lowest = 1e9f;
            for (int corner = 0; corner < 4; ++corner)
                lowest = std::min(lowest, TerrainHeight((cellX + corner % 2) * TerrainStep,
                                                        (cellZ + corner / 2) * TerrainStep));
            const bool wet = lowest + MainViewTerrainLift <= 0.0f;
            wetCells += wet;
            leftOut += covering == 0;
            EXPECT_LE(covering, 1) << "cell " << cellX << ", " << cellZ;
            if (wet)
            {
                EXPECT_EQ(covering, 1) << "wet cell " << cellX << ", " << cellZ;
            }
        }
    EXPECT_GT(wetCells, 0);
    EXPECT_GT(leftOut, 0) << "the mesh covers the whole square";
    for (const WaterGridVertex& v : mesh.vertices)
    {
        EXPECT_EQ(v.y, 0.0f);
        EXPECT_FLOAT_EQ(v.s, v.x / 750.0f * 6.0f);
        EXPECT_FLOAT_EQ(v.t, v.z / 750.0f * 6.0f);
    }
    for (const double up : UpwardAreas(mesh))
        EXPECT_GT(up, 0.0);
}
