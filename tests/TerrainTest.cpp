// SPDX-License-Identifier: MIT
#include "scene/Terrain.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <utility>
#include <vector>

namespace
{
std::uint32_t Bits(float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// A corner's height as the terrain defines it, rounded to float after each step: the angle, the
// cosine, each term of the sum, and the fold. Written from those steps, not from the generator.
float ReferenceHeight(int vx, int vz)
{
    const auto wave = [](int u)
    {
        const float angle = static_cast<float>(static_cast<double>(u) / 150.0 * static_cast<double>(TerrainFrequency));
        return static_cast<float>(std::cos(static_cast<double>(angle)));
    };
    const float first = static_cast<float>(10.0 * static_cast<double>(wave(vx)));
    const float sum = static_cast<float>(10.0 * static_cast<double>(wave(vz)) + static_cast<double>(first));
    return sum < -10.5f ? static_cast<float>(static_cast<double>(sum) + 2.0 * (-10.5 - static_cast<double>(sum))) : sum;
}

bool IsGridCoordinate(float v)
{
    return v >= 0.0f && v <= 150.0f && v == static_cast<float>(static_cast<int>(v) / 2 * 2);
}

struct TerrainArrays
{
    std::vector<float> positions = std::vector<float>(TerrainVertexCount * 3);
    std::vector<float> texCoords = std::vector<float>(TerrainVertexCount * 2);

    TerrainArrays() { GenerateTerrain(positions.data(), texCoords.data()); }

    void ExpectEntry(int k, float x, float y, float z, float s, float t) const
    {
        SCOPED_TRACE(k);
        EXPECT_EQ(positions[3 * k], x);
        EXPECT_NEAR(positions[3 * k + 1], y, 1e-5f);
        EXPECT_EQ(positions[3 * k + 2], z);
        EXPECT_NEAR(texCoords[2 * k], s, 1e-6f);
        EXPECT_NEAR(texCoords[2 * k + 1], t, 1e-6f);
    }
};
}

TEST(Terrain, FrequencyIsTheSingleSumOfTwoRoundedTwoPis)
{
    EXPECT_EQ(Bits(TerrainFrequency), 0x41490FD0u);
    static_assert(TerrainVertexCount == 33750 && TerrainPositionBytes == 405000 && TerrainTexCoordBytes == 270000);
}

TEST(Terrain, HeightsAtKnownCorners)
{
    EXPECT_EQ(TerrainHeight(0, 0), 20.0f);
    EXPECT_NEAR(TerrainHeight(36, 0), 0.0789f, 1e-4f);
    // The two terms sum to about -19.842 here, below the floor, and fold up to -21 minus that.
    EXPECT_NEAR(TerrainHeight(36, 36), -1.1577f, 1e-4f);
}

TEST(Terrain, AllCornersLieBetweenTheFloorAndTheCrest)
{
    float lowest = 100.0f;
    for (int x = 0; x <= TerrainExtent; x += TerrainStep)
    {
        for (int z = 0; z <= TerrainExtent; z += TerrainStep)
        {
            const float y = TerrainHeight(x, z);
            EXPECT_GE(y, -10.5f);
            EXPECT_LE(y, 20.0f);
            lowest = std::min(lowest, y);
        }
    }
    EXPECT_NEAR(lowest, -10.4824f, 1e-4f);
}

TEST(Terrain, FirstCellAndLastEntry)
{
    const TerrainArrays terrain;
    terrain.ExpectEntry(0, 0.0f, 20.0f, 0.0f, 0.0f, 0.0f);
    terrain.ExpectEntry(1, 2.0f, 19.85996f, 0.0f, 0.1333333f, 0.0f);
    terrain.ExpectEntry(2, 0.0f, 19.85996f, 2.0f, 0.0f, 0.1333333f);
    terrain.ExpectEntry(3, 2.0f, 19.85996f, 0.0f, 0.1333333f, 0.0f);
    terrain.ExpectEntry(4, 0.0f, 19.85996f, 2.0f, 0.0f, 0.1333333f);
    terrain.ExpectEntry(TerrainVertexCount - 1, 150.0f, 20.0f, 150.0f, 10.0f, 10.0f);
    // Cells run along z first.
    terrain.ExpectEntry(6, 0.0f, TerrainHeight(0, 2), 2.0f, 0.0f, 0.1333333f);
}

// Rounding once at the end instead moves about 4,800 corners by up to 1e-5: only exact bits see it.
TEST(Terrain, EveryCornerIsStoredBitForBitTheSameWherePresentAndAsTheStepwiseRoundingGivesIt)
{
    const TerrainArrays terrain;
    std::map<std::pair<float, float>, std::vector<std::uint32_t>> seen;
    for (int k = 0; k < TerrainVertexCount; ++k)
    {
        const float x = terrain.positions[3 * k];
        const float z = terrain.positions[3 * k + 2];
        ASSERT_TRUE(IsGridCoordinate(x) && IsGridCoordinate(z)) << "entry " << k;
        ASSERT_NEAR(terrain.texCoords[2 * k], x / 15.0f, 1e-5f);
        ASSERT_NEAR(terrain.texCoords[2 * k + 1], z / 15.0f, 1e-5f);
        ASSERT_EQ(Bits(terrain.positions[3 * k + 1]), Bits(ReferenceHeight(static_cast<int>(x), static_cast<int>(z))))
            << "corner (" << x << ", " << z << ")";
        ASSERT_EQ(Bits(terrain.texCoords[2 * k]), Bits(static_cast<float>(static_cast<double>(x) / 150.0 * 10.0)));
        const std::vector<std::uint32_t> entry = {Bits(terrain.positions[3 * k + 1]), Bits(terrain.texCoords[2 * k]),
                                                  Bits(terrain.texCoords[2 * k + 1])};
        const auto [it, inserted] = seen.emplace(std::make_pair(x, z), entry);
        if (!inserted)
        {
            ASSERT_EQ(it->second, entry) << "corner (" << x << ", " << z << ") at entry " << k;
        }
    }
    EXPECT_EQ(seen.size(), 76u * 76u);
}

// The passes draw the terrain's triangles in groups by the water plane: the groups must hold
// every triangle once, and the group a triangle is drawn with must be one its heights allow, or
// the reflection, the refraction or the raised main view shows a hole where the clip plane or
// the surface would have let it show.
TEST(Terrain, OrderedByTheWaterItHoldsEveryTriangleOnceInTheGroupItsHeightsGive)
{
    constexpr float ShallowDepth = 0.5f;
    const TerrainArrays list;
    TerrainArrays ordered;
    const TerrainWaterSplit split =
        GenerateTerrainByWater(ordered.positions.data(), ordered.texCoords.data(), ShallowDepth);
    using Triangle = std::vector<float>;
    const auto triangle = [](const TerrainArrays& arrays, int t)
    {
        Triangle corners(arrays.positions.begin() + 9 * t, arrays.positions.begin() + 9 * t + 9);
        corners.insert(corners.end(), arrays.texCoords.begin() + 6 * t, arrays.texCoords.begin() + 6 * t + 6);
        return corners;
    };
    std::map<Triangle, int> count;
    for (int t = 0; t < TerrainVertexCount / 3; ++t)
    {
        ++count[triangle(list, t)];
        --count[triangle(ordered, t)];
    }
    int unmatched = 0;
    for (const auto& entry : count)
        unmatched += std::abs(entry.second);
    EXPECT_EQ(unmatched, 0);

    const int deep = TerrainVertexCount / 3 - split.aboveOnly - split.crossing - split.shallow;
    EXPECT_GT(split.aboveOnly, 1000);
    EXPECT_GT(split.crossing, 100);
    EXPECT_GT(split.shallow, 10);
    EXPECT_GT(deep, 1000);
    const int ends[3] = {split.aboveOnly, split.aboveOnly + split.crossing,
                         split.aboveOnly + split.crossing + split.shallow};
    int misplaced = 0;
    for (int t = 0; t < TerrainVertexCount / 3; ++t)
    {
        const float* y = &ordered.positions[9 * t + 1];
        const bool above = y[0] > 0.0f && y[3] > 0.0f && y[6] > 0.0f;
        const bool under = y[0] < 0.0f && y[3] < 0.0f && y[6] < 0.0f;
        const bool shallow = y[0] >= -ShallowDepth || y[3] >= -ShallowDepth || y[6] >= -ShallowDepth;
        const int group = t < ends[0] ? 0 : t < ends[1] ? 1 : t < ends[2] ? 2 : 3;
        misplaced += group != (above ? 0 : !under ? 1 : shallow ? 2 : 3);
    }
    EXPECT_EQ(misplaced, 0);
}
