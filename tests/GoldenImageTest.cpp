// Golden images: the real scene rendered offscreen by merrowind-snapshot at a fixed frame and
// camera, compared with committed references. The tolerance absorbs small differences between
// drivers and CPUs; a missing pass, a flipped preview or a broken shader moves far more pixels.
// After a deliberate change of the picture, tests/golden/update writes new references.
#include "Capture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace
{
constexpr int ChannelTolerance = 24;
constexpr double DifferingShareCap = 0.005;

struct GoldenView
{
    const char* name;
    const char* arguments;
};

// Kept in step with tests/golden/update.
const GoldenView Views[] = {
    {"start", "--frame 30"},
    {"shore", "--frame 30 --eye -300,50,-300 --yaw 0.785"},
    {"turned", "--frame 30 --eye 200,40,250 --yaw 3.6 --rotation 30"},
};

Capture Render(const GoldenView& view)
{
    const std::string out = ::testing::TempDir() + "golden-" + view.name + ".ppm";
    const std::string command = "LP_NUM_THREADS=2 " + std::string(MERROWIND_RUN_DIR) + "/merrowind-snapshot " +
                                view.arguments + " --out " + out;
    Capture capture;
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_TRUE(capture.Load(out)) << out;
    return capture;
}

// Pixels whose largest channel difference exceeds the tolerance, drawn white on black.
Capture Difference(const Capture& actual, const Capture& expected, int& differing)
{
    Capture difference = actual;
    differing = 0;
    for (int y = 0; y < actual.height; ++y)
        for (int x = 0; x < actual.width; ++x)
        {
            int largest = 0;
            for (int c = 0; c < 3; ++c)
                largest = std::max(largest, std::abs(actual.Pixel(x, y)[c] - expected.Pixel(x, y)[c]));
            const bool differs = largest > ChannelTolerance;
            differing += differs;
            for (int c = 0; c < 3; ++c)
                difference.Pixel(x, y)[c] = differs ? 255 : 0;
        }
    return difference;
}

class GoldenImage : public ::testing::TestWithParam<GoldenView>
{
};
}

TEST_P(GoldenImage, MatchesItsReference)
{
    const GoldenView& view = GetParam();
    Capture expected;
    ASSERT_TRUE(expected.Load(std::string(MERROWIND_SOURCE_DIR) + "/tests/golden/" + view.name + ".png"));
    const Capture actual = Render(view);
    ASSERT_EQ(actual.width, expected.width);
    ASSERT_EQ(actual.height, expected.height);

    int differing = 0;
    const Capture difference = Difference(actual, expected, differing);
    const double share = static_cast<double>(differing) / (actual.width * actual.height);
    EXPECT_LE(share, DifferingShareCap) << differing << " pixels differ by more than " << ChannelTolerance;
    if (HasFailure())
    {
        const std::string stem = ::testing::TempDir() + "golden-" + view.name;
        actual.SavePng(stem + "-actual.png");
        difference.SavePng(stem + "-difference.png");
        ADD_FAILURE() << "see " << stem << "-actual.png and " << stem << "-difference.png";
    }
}

INSTANTIATE_TEST_SUITE_P(Views, GoldenImage, ::testing::ValuesIn(Views),
                         [](const ::testing::TestParamInfo<GoldenView>& info) { return info.param.name; });
