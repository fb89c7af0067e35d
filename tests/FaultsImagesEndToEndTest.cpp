// SPDX-License-Identifier: MIT
// Each of the six images damaged in each way a file can be, and one image malformed or unusable
// in the ways a file can be: the loader's one "Error" box with its own text (on screen and in the
// box record), and the scene goes on without that image.
#include "FaultRun.h"
#include "ImageFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <random>
#include <string>
#include <thread>
#include <tuple>

namespace
{
enum class Damage
{
    Empty,
    CutInHeader,
    CutInPixels,
    RandomBytes,
    Planes,     // a header whose plane count is not 1
    TooLarge,   // an image wider than the driver's texture limit
    NamedPipe,  // a pipe no one writes to in the image's place
};

const char* const Images[] = {"TerrainMaterial.bmp", "norm.bmp", "heigth.bmp", "norm1.bmp", "height1.bmp", "skybox.bmp"};

// The file header and part of the information header: the header's size field is there, the
// header itself is not.
constexpr std::size_t HeaderCut = 20;
constexpr std::size_t RandomLength = 4096;
constexpr std::size_t PlanesField = 14 + 12;
// llvmpipe's texture limit is 16384 texels on a side.
constexpr int TooLargeWidth = 17000;

void Put16(std::string& bytes, std::size_t at, std::uint16_t value)
{
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>(value >> 8);
}

std::string Damaged(const std::string& original, Damage damage)
{
    switch (damage)
    {
    case Damage::Empty: return "";
    case Damage::CutInHeader: return original.substr(0, HeaderCut);
    case Damage::CutInPixels: return original.substr(0, original.size() / 2);
    case Damage::RandomBytes:
    {
        std::mt19937 generator(20261208);
        std::string bytes(RandomLength, '\0');
        for (char& byte : bytes)
            byte = static_cast<char>(generator() & 0xFF);
        return bytes;
    }
    case Damage::Planes:
    {
        std::string bytes = original;
        Put16(bytes, PlanesField, 30000);
        return bytes;
    }
    case Damage::TooLarge: return BmpBytes(TooLargeWidth, 1, [](int, int) { return Rgb{128, 128, 128}; });
    case Damage::NamedPipe: break;
    }
    return original;
}

std::string ExpectedText(const std::string& image, Damage damage)
{
    switch (damage)
    {
    case Damage::Empty:
    case Damage::NamedPipe: return "Failed to open DIB file ./" + image + ".";
    case Damage::CutInPixels:
    case Damage::Planes: return "./" + image + ": Image file conversion error.";
    case Damage::TooLarge:
        return "The image ./" + image + " is " + std::to_string(TooLargeWidth) +
               " x 1 pixels; this OpenGL takes textures of at most 16384 x 16384.";
    default: return "./" + image + ": Unknown DIB file format.";
    }
}

std::string DamageName(Damage damage)
{
    switch (damage)
    {
    case Damage::Empty: return "Empty";
    case Damage::CutInHeader: return "CutInHeader";
    case Damage::CutInPixels: return "CutInPixels";
    case Damage::RandomBytes: return "RandomBytes";
    case Damage::Planes: return "Planes";
    case Damage::TooLarge: return "TooLarge";
    default: return "NamedPipe";
    }
}

std::string TestName(const ::testing::TestParamInfo<std::tuple<const char*, Damage>>& info)
{
    std::string image = std::get<0>(info.param);
    image = image.substr(0, image.find('.'));
    return image + "_" + DamageName(std::get<1>(info.param));
}

class FaultsImages : public ::testing::TestWithParam<std::tuple<const char*, Damage>>
{
};
}

TEST_P(FaultsImages, AreReportedOnceAndTheSceneRunsOnWithoutThem)
{
    const auto [image, damage] = GetParam();
    FaultRun run;
    if (damage == Damage::NamedPipe)
        run.ReplaceWithPipe(image);
    else
        run.Replace(image, Damaged(run.Original(image), damage));
    ASSERT_TRUE(run.Launch());

    EXPECT_EQ(run.DismissBoxes(1), std::vector<std::string>{"Error"});
    // Without a normal map the water lies still: the camera, not the water, shows that frames go on.
    EXPECT_TRUE(run.FollowsTheCamera());
    const Capture later = run.CaptureWindow();
    ASSERT_GT(later.width, 0);
    EXPECT_GT(MeanLevel(later, 0, 60, later.width, later.height), 20.0) << "the picture is black";
    EXPECT_TRUE(run.OpenBoxes().empty());
    EXPECT_EQ(run.Reports(), std::vector<std::string>{"Error: " + ExpectedText(image, damage)});
    if (HasFailure())
        later.SavePng(::testing::TempDir() + "faults-" + DamageName(damage) + "-" + image + ".png");
    EXPECT_EQ(run.Quit(), std::optional<int>(0));
}

INSTANTIATE_TEST_SUITE_P(EveryImageEveryDamage, FaultsImages,
                         ::testing::Combine(::testing::ValuesIn(Images),
                                            ::testing::Values(Damage::Empty, Damage::CutInHeader, Damage::CutInPixels,
                                                              Damage::RandomBytes)),
                         TestName);
// A normal map stands for every image here: the path from the file to the texture is shared. The
// one box of the image past the texture limit also shows that the HDR chain's set-up, which runs
// after the images are loaded, takes no GL error of theirs for its own.
INSTANTIATE_TEST_SUITE_P(MalformedOrUnusable, FaultsImages,
                         ::testing::Combine(::testing::Values("norm.bmp"),
                                            ::testing::Values(Damage::Planes, Damage::TooLarge, Damage::NamedPipe)),
                         TestName);

// A termination signal while a box waits for the user ends the box, and the program with it as
// the signal ends it without one: status 0, and no box left on the screen.
TEST(FaultsWithABoxOpen, ATerminationSignalEndsTheBoxAndTheProgram)
{
    using namespace std::chrono_literals;
    FaultRun run;
    run.Replace("norm.bmp", "");
    ASSERT_TRUE(run.Launch());
    ASSERT_NE(run.Session().WaitForWindowOtherThan(run.Window(), 60s), 0u) << "no box";
    run.Session().Signal(SIGTERM);
    EXPECT_EQ(run.Session().WaitForExit(60s), std::optional<int>(0)) << "the program waits for its box";
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (!run.OpenBoxes().empty() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(100ms);
    EXPECT_EQ(run.OpenBoxes(), std::vector<std::string>{});
}
