// SPDX-License-Identifier: MIT
// Golden images: the real scene rendered offscreen by merrowind-snapshot at a fixed frame and
// camera, compared with committed references. The tolerance absorbs small differences between
// drivers and CPUs; a missing pass, a flipped preview or a broken shader moves far more pixels.
// After a deliberate change of the picture, tests/golden/update writes new references.
// The same comparison holds on drivers that offer only OpenGL 3.3, where the programs compile as
// GLSL 3.30: llvmpipe told to offer 3.3 (with and without the extension that gathers a component)
// against the references, and softpipe, too slow for thirty frames, against llvmpipe at frame 2.
// Rendered at the window's size, a wide picture is the same scene with every column its own.
#include "Capture.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// The driver's environment; the llvmpipe that offers all it has renders the references.
constexpr const char* FullLlvmpipe = "";
constexpr const char* Llvmpipe33 = "MESA_GL_VERSION_OVERRIDE=3.3COMPAT MESA_GLSL_VERSION_OVERRIDE=330 ";
constexpr const char* Llvmpipe33WithoutGather =
    "MESA_GL_VERSION_OVERRIDE=3.3COMPAT MESA_GLSL_VERSION_OVERRIDE=330 MESA_EXTENSION_OVERRIDE=-GL_ARB_gpu_shader5 ";
constexpr const char* Softpipe = "GALLIUM_DRIVER=softpipe ";

struct GoldenView
{
    const char* name;
    const char* driver;
    const char* view;       // a reference in tests/golden/, or empty to render it on FullLlvmpipe
    const char* arguments;
};

void PrintTo(const GoldenView& view, std::ostream* out)
{
    *out << view.name << " (" << view.driver << view.arguments << ")";
}

// The views on FullLlvmpipe are kept in step with tests/golden/update.
const GoldenView Views[] = {
    {"start", FullLlvmpipe, "start", "--frame 30 --view start"},
    {"shore", FullLlvmpipe, "shore", "--frame 30 --view hillside_lake"},
    {"turned", FullLlvmpipe, "turned", "--frame 30 --view turned"},
    {"along_lake", FullLlvmpipe, "along_lake", "--frame 30 --view along_lake"},
    {"into_sun", FullLlvmpipe, "into_sun", "--frame 30 --view into_sun"},
    {"start_gl33", Llvmpipe33, "start", "--frame 30"},
    {"start_gl33_without_gather", Llvmpipe33WithoutGather, "start", "--frame 30"},
    {"start_softpipe", Softpipe, "", "--frame 2"},
};

// Renders with the snapshot tool, which fails when the program showed a box.
Capture Render(const std::string& name, const std::string& driver, const std::string& arguments)
{
    const std::string out = ::testing::TempDir() + "golden-" + name + ".ppm";
    const std::string command = driver + "LP_NUM_THREADS=2 " + std::string(MERROWIND_RUN_DIR) +
                                "/merrowind-snapshot " + arguments + " --out " + out;
    Capture capture;
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_TRUE(capture.Load(out)) << out;
    return capture;
}

Capture Reference(const GoldenView& view)
{
    Capture reference;
    if (*view.view == '\0')
        return Render(std::string(view.name) + "-reference", FullLlvmpipe, view.arguments);
    EXPECT_TRUE(reference.Load(std::string(MERROWIND_SOURCE_DIR) + "/tests/golden/" + view.view + ".png"));
    return reference;
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
    const Capture expected = Reference(view);
    const Capture actual = Render(view.name, view.driver, view.arguments);
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

// The scene stepped at 20 and at 60 frames a second shows the same moment alike: the waves and
// the eye's adaptation, early in its first change, follow the time, not the frames. Half a second
// later the water has moved on (about 3.7 levels on average here), so the comparison can tell.
TEST(SnapshotMoment, TheSameMomentAtTwentyAndSixtyFramesASecondIsTheSamePicture)
{
    constexpr double MostDifference = 0.01 * 255.0;
    constexpr double MovedOn = 1.0;
    const std::string view = " --view along_lake";
    const Capture atSixty = Render("moment-60", FullLlvmpipe, "--time 0.5 --fps 60" + view);
    const Capture atTwenty = Render("moment-20", FullLlvmpipe, "--time 0.5 --fps 20" + view);
    const Capture later = Render("moment-later", FullLlvmpipe, "--time 1 --fps 20" + view);
    ASSERT_EQ(atTwenty.width, atSixty.width);
    ASSERT_EQ(later.height, atSixty.height);
    EXPECT_LT(MeanDifference(atTwenty, atSixty, 0, 0, atSixty.width, atSixty.height), MostDifference);
    EXPECT_GT(MeanDifference(later, atSixty, 0, 0, atSixty.width, atSixty.height), MovedOn);
}

INSTANTIATE_TEST_SUITE_P(Views, GoldenImage, ::testing::ValuesIn(Views),
                         [](const ::testing::TestParamInfo<GoldenView>& info) { return info.param.name; });

namespace
{
// Columns equal to their left neighbour from top to bottom: what stretching a narrower image
// leaves behind.
int RepeatedColumns(const Capture& capture)
{
    int repeated = 0;
    for (int x = 1; x < capture.width; ++x)
    {
        int y = 0;
        while (y < capture.height && std::equal(capture.Pixel(x, y), capture.Pixel(x, y) + 3, capture.Pixel(x - 1, y)))
            ++y;
        repeated += y == capture.height;
    }
    return repeated;
}

double MeanDifference(const Capture& first, const Capture& second)
{
    double sum = 0.0;
    for (size_t i = 0; i < first.rgb.size(); ++i)
        sum += std::abs(first.rgb[i] - second.rgb[i]);
    return sum / static_cast<double>(first.rgb.size());
}
}

// 1280 x 720: the fixed 1024-wide target shows 256 columns twice (192 right of the previews, which
// are filtered); rendered at the window's size,
// the picture repeats none, and shows the same scene (the mean difference is the stretching's).
TEST(WindowSizedRender, GivesAWideWindowEveryColumnOfItsOwnAndTheSameScene)
{
    const std::string view = " --frame 3 --size 1280x720 --view along_lake";
    const Capture stretched = Render("stretched", FullLlvmpipe, view);
    const Capture own = Render("window-sized", FullLlvmpipe, "--render-size window" + view);
    ASSERT_EQ(own.width, 1280);
    ASSERT_EQ(own.height, 720);
    EXPECT_GT(RepeatedColumns(stretched), 150);
    EXPECT_LT(RepeatedColumns(own), 5);
    EXPECT_LT(MeanDifference(own, stretched), 4.0);
    if (HasFailure())
        own.SavePng(::testing::TempDir() + "window-sized.png");
}
