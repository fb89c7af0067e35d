// Golden images: the real scene rendered offscreen by merrowind-snapshot at a fixed frame and
// camera, compared with committed references. The tolerance absorbs small differences between
// drivers and CPUs; a missing pass, a flipped preview or a broken shader moves far more pixels.
// After a deliberate change of the picture, tests/golden/update writes new references.
#include "Capture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <string>

namespace
{
constexpr int ChannelTolerance = 24;
constexpr double DifferingShareCap = 0.005;
// The previews are small, so a flipped or swapped one hides in the whole-picture share: they get
// their own cap over the top-left corner they occupy at 640 x 480.
constexpr int PreviewsRight = 160;
constexpr int PreviewsBottom = 60;
constexpr double PreviewShareCap = 0.02;

struct GoldenView
{
    const char* name;
    const char* arguments;
};

void PrintTo(const GoldenView& view, std::ostream* out)
{
    *out << view.name << " (" << view.arguments << ")";
}

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
Capture Difference(const Capture& actual, const Capture& expected)
{
    Capture difference = actual;
    for (int y = 0; y < actual.height; ++y)
        for (int x = 0; x < actual.width; ++x)
        {
            int largest = 0;
            for (int c = 0; c < 3; ++c)
                largest = std::max(largest, std::abs(actual.Pixel(x, y)[c] - expected.Pixel(x, y)[c]));
            const bool differs = largest > ChannelTolerance;
            for (int c = 0; c < 3; ++c)
                difference.Pixel(x, y)[c] = differs ? 255 : 0;
        }
    return difference;
}

double DifferingShare(const Capture& difference, int right, int bottom)
{
    int differing = 0;
    for (int y = 0; y < bottom; ++y)
        for (int x = 0; x < right; ++x)
            differing += difference.Pixel(x, y)[0] != 0;
    return static_cast<double>(differing) / (right * bottom);
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

    const Capture difference = Difference(actual, expected);
    EXPECT_LE(DifferingShare(difference, actual.width, actual.height), DifferingShareCap)
        << "share of the picture that differs by more than " << ChannelTolerance;
    EXPECT_LE(DifferingShare(difference, PreviewsRight, PreviewsBottom), PreviewShareCap)
        << "share of the previews that differs by more than " << ChannelTolerance;
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
