// Each of the six images damaged in each way a file can be: the loader's one "Error" box with
// its own text (on screen and in the box record), and the scene goes on without that image.
#include "FaultRun.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>

namespace
{
enum class Damage
{
    Empty,
    CutInHeader,
    CutInPixels,
    RandomBytes,
};

const char* const Images[] = {"TerrainMaterial.bmp", "norm.bmp", "heigth.bmp", "norm1.bmp", "height1.bmp", "skybox.bmp"};

// The file header and part of the information header: the header's size field is there, the
// header itself is not.
constexpr std::size_t HeaderCut = 20;
constexpr std::size_t RandomLength = 4096;

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
    }
    return original;
}

std::string ExpectedText(const std::string& image, Damage damage)
{
    switch (damage)
    {
    case Damage::Empty: return "Failed to open DIB file ./" + image + ".";
    case Damage::CutInPixels: return "Image file conversion error.";
    default: return "Unknown DIB file format.";
    }
}

std::string DamageName(Damage damage)
{
    switch (damage)
    {
    case Damage::Empty: return "Empty";
    case Damage::CutInHeader: return "CutInHeader";
    case Damage::CutInPixels: return "CutInPixels";
    default: return "RandomBytes";
    }
}

class FaultsImages : public ::testing::TestWithParam<std::tuple<const char*, Damage>>
{
};
}

TEST_P(FaultsImages, AreReportedOnceAndTheSceneRunsOnWithoutThem)
{
    const auto [image, damage] = GetParam();
    FaultRun run;
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
                         [](const auto& info) {
                             std::string image = std::get<0>(info.param);
                             image = image.substr(0, image.find('.'));
                             return image + "_" + DamageName(std::get<1>(info.param));
                         });
