// The settings file: what it reads and what it refuses, each with the file and line named and no
// setting changed, a save that reads back as the same numbers, and the real program given a
// damaged file: one box, and the picture of the defaults.
#include "FaultRun.h"

#include "app/SettingsFile.h"
#include "hdr/CHDRPostProcess.h"
#include "shader/TextFile.h"
#include "water/WaterPrograms.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace
{
bool SameSettings(const FileSettings& a, const FileSettings& b)
{
    return SameValues(a.water, b.water, WaterSettingFields) && SameValues(a.hdr, b.hdr, HdrSettingFields) &&
           a.display.vsync == b.display.vsync && a.display.renderSize == b.display.renderSize;
}

// A file of comment lines that crosses the size limit on its line `line`.
std::string LongFile(int& line)
{
    const std::string comment = "# " + std::string(97, '-') + "\n";
    std::string text;
    while (text.size() <= MaxSettingsFileBytes)
        text += comment;
    line = static_cast<int>(MaxSettingsFileBytes / comment.size()) + 1;
    return text;
}
}

TEST(SettingsFile, ReadsWhatItKnowsAndRefusesTheRestNamingTheLine)
{
    int longLine = 0;
    const std::string longFile = LongFile(longLine);
    const struct
    {
        std::string text;
        std::string error;  // empty: the text reads
    } cases[] = {
        {"", ""},
        {"# kept\r\n\r\n  hdr.key=0.5 \r\n\twater.sun_intensity = 1e1\nvsync=off\n render_size = window \n", ""},
        {"hdr.key = 0.5\nhdr.kee = 0.5\n", "f(2): there is no setting 'hdr.kee'"},
        {"hdr.key = 0.5x", "f(1): '0.5x' is not a number"},
        {"hdr.key = ", "f(1): '' is not a number"},
        {"hdr.key = nan", "f(1): 'nan' is not a number"},
        {"water.sun_intensity = inf", "f(1): 'inf' is not a number"},
        {"water.sun_intensity = 200.5", "f(1): water.sun_intensity must lie between 0 and 200"},
        {"hdr.exposure = 0.01", "f(1): hdr.exposure must lie between 0.05 and 5"},
        {"hdr.key 0.5", "f(1): expected 'name = value'"},
        {"hdr.key = 0.5\n\x7f" "ELF\x01\x02\xff\xfe = 1\n", "f(2): this is not text"},
        {std::string("hdr.key = 0.5\0", 14), "f(1): this is not text"},
        {"hdr.key = 0.5\nhdr.key = 0.6\n", "f(2): hdr.key is set twice"},
        {"vsync = 0", "f(1): vsync must be on or off"},
        {"render_size = Window", "f(1): render_size must be specified or window"},
        {"render_size = window\nrender_size = specified\n", "f(2): render_size is set twice"},
        {longFile, "f(" + std::to_string(longLine) + "): the file goes on past 65536 bytes"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text.substr(0, 60));
        FileSettings settings;
        std::string error;
        EXPECT_EQ(ParseSettings("f", c.text, settings, error), c.error.empty());
        EXPECT_EQ(error, c.error);
        if (!c.error.empty())
        {
            EXPECT_TRUE(SameSettings(settings, FileSettings{})) << "a refused file changes nothing";
        }
    }

    FileSettings settings;
    std::string error;
    ASSERT_TRUE(ParseSettings("f", cases[1].text, settings, error));
    EXPECT_EQ(settings.hdr.key, 0.5f);
    EXPECT_EQ(settings.water.sunIntensity, 10.0f);
    EXPECT_FALSE(settings.display.vsync);
    EXPECT_EQ(settings.display.renderSize, RenderSize::Window);
    EXPECT_EQ(settings.hdr.exposure, 0.75f) << "a setting left out keeps its default";
}

// The save writes the settings in use into the working folder, each number read back bit for bit
// (those below have no short decimal form, or lie at the ends of their ranges), and says where
// they went; where it cannot (a folder in the file's place), it says why and leaves nothing behind.
TEST(SettingsFile, ASaveWritesTheSettingsInUseOrSaysWhyNot)
{
    ScratchFolder folder;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.PathOf(""));
    waterSettings.waveSpeed0X = -1.0f / 3.0f;
    waterSettings.absorptionBlue = 1e-7f;
    waterSettings.sunShininess = 2000.0f;
    HDRPostProcess.Settings().exposure = 0.05f;
    HDRPostProcess.Settings().bloomStrength = 2.0f / 3.0f;
    displaySettings.vsync = false;
    displaySettings.renderSize = RenderSize::Window;

    EXPECT_EQ(SaveSettingsFile(), "Saved to merrowind.settings in the working folder");
    std::string text;
    ASSERT_TRUE(ReadTextFile(SettingsFileName, text));
    FileSettings settings;
    std::string error;
    EXPECT_TRUE(ParseSettings(SettingsFileName, text, settings, error)) << error;
    EXPECT_TRUE(SameSettings(settings, {waterSettings, HDRPostProcess.Settings(), displaySettings}));

    std::filesystem::remove(SettingsFileName);
    std::filesystem::create_directory(SettingsFileName);
    EXPECT_EQ(SaveSettingsFile(), "Could not save to merrowind.settings: Is a directory");
    EXPECT_FALSE(std::filesystem::exists("merrowind.settings.new"));

    waterSettings = WaterSettings{};
    HDRPostProcess.Settings() = HdrSettings{};
    displaySettings = DisplaySettings{};
    std::filesystem::current_path(previous);
}

// The damaged file's first lines are sound and would darken the picture fifteenfold; none of them
// may take effect.
TEST(SettingsFileEndToEnd, ADamagedFileGivesOneBoxAndTheDefaults)
{
    FaultRun run;
    run.Replace(SettingsFileName, "hdr.exposure = 0.05\nwater.sun_intensity = 0\nhdr.key = 0.3.1\n");
    ASSERT_TRUE(run.Launch());

    EXPECT_EQ(run.DismissBoxes(1), std::vector<std::string>{"Error"});
    EXPECT_TRUE(run.FollowsTheCamera());
    const Capture later = run.CaptureWindow();
    ASSERT_GT(later.width, 0);
    EXPECT_GT(MeanLevel(later, 0, 60, later.width, later.height), 20.0) << "the picture is dark";
    EXPECT_TRUE(run.OpenBoxes().empty());
    EXPECT_EQ(run.Reports(), std::vector<std::string>{"Error: merrowind.settings(3): '0.3.1' is not a number; every "
                                                      "setting keeps its default."});
    if (HasFailure())
        later.SavePng(::testing::TempDir() + "settings-damaged.png");
    EXPECT_EQ(run.Quit(), std::optional<int>(0));
}
