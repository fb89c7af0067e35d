// SPDX-License-Identifier: MIT
#include "hdr/HDROffsets.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
// Flattens packed vectors so a whole table compares against its listed values at once.
template <size_t N>
std::vector<float> Flat(const std::array<Float4, N>& vectors)
{
    std::vector<float> values;
    for (const Float4& v : vectors)
    {
        for (float value : {v.x, v.y, v.z, v.w})
            values.push_back(value);
    }
    return values;
}
}

TEST(HDROffsets, GreyscaleAndBrightPassTapsSitAQuarterDestinationTexelFromItsCentre)
{
    const float a = 0.0009765625f;
    EXPECT_EQ(Flat(FourTapOffsets(1024, 768, 256, 256)), (std::vector<float>{-a, a, a, a, -a, -a, a, -a}));
    const float h = 0.00048828125f;
    EXPECT_EQ(Flat(FourTapOffsets(1024, 768, 512, 512)), (std::vector<float>{-h, h, h, h, -h, -h, h, -h}));
}

TEST(HDROffsets, LuminanceReductionTapsAreOneSourceTexelApart)
{
    const float t = 0.00390625f;
    EXPECT_EQ(Flat(NineTapOffsets(256, 256)),
              (std::vector<float>{-t, -t, -t, 0, -t, t, 0, -t, 0, 0, 0, t, t, -t, t, 0, t, t, 0, 0}));
    for (int size : {64, 16, 4})
    {
        const std::vector<float> offsets = Flat(NineTapOffsets(size, size));
        EXPECT_EQ(offsets[0], -1.0f / size);
        EXPECT_EQ(offsets[17], 1.0f / size);
    }
}

TEST(HDROffsets, BrightPassReductionHasNoTapAtZero)
{
    const std::vector<float> c = {-0.00390625f, -0.001953125f, 0.001953125f, 0.00390625f};
    std::vector<float> expected;
    for (float first : c)
    {
        for (float second : c)
        {
            expected.push_back(first);
            expected.push_back(second);
        }
    }
    EXPECT_EQ(Flat(SixteenTapOffsets(128)), expected);
}

TEST(HDROffsets, BlurTapsRunFromMinusFourToPlusThreeWithUnnormalisedSymmetricWeights)
{
    const std::vector<float> values = Flat(BlurTaps(128));
    const std::vector<float> offsets = {-0.03125f, -0.0234375f, -0.015625f, -0.0078125f, 0.0f,
                                        0.0f,      0.0078125f,  0.015625f,  0.0234375f};
    const std::vector<float> weights = {0.05f, 0.159375f, 0.2375f, 0.284375f, 0.3f,
                                        0.284375f, 0.2375f, 0.159375f, 0.05f};
    double sum = 0.0;
    for (size_t t = 0; t < 9; ++t)
    {
        EXPECT_EQ(values[2 * t], offsets[t]) << "tap " << t;
        EXPECT_FLOAT_EQ(values[2 * t + 1], weights[t]) << "tap " << t;
        sum += values[2 * t + 1];
    }
    EXPECT_NEAR(sum, 1.7625, 1e-6);
    EXPECT_EQ(values[18], 0.0f);
    EXPECT_EQ(values[19], 0.0f);
}
