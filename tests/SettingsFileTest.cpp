// SPDX-License-Identifier: MIT
// The settings file: what it reads and what it refuses, each damaged line named with the file
// and its number while every sound line still takes effect; a save that reads back as the same
// values, follows no link and keeps a damaged file aside, its outcome wrapped in the inspector's
// window; and the real program given a damaged file: one box, over the picture the sound lines give.
#include "FaultRun.h"

#include "app/SettingsFile.h"
#include "hdr/CHDRPostProcess.h"
#include "inspector/CSettingsPanel.h"
#include "platform/MessageBox.h"
#include "platform/ReadableText.h"
#include "platform/TextFile.h"
#include "water/WaterPrograms.h"

#include <gtest/gtest.h>
#include <imgui.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>

namespace
{
namespace fs = std::filesystem;

// The previews at the top of the window show the water images, not the picture.
constexpr int PreviewHeight = 60;

bool SameSettings(const FileSettings& a, const FileSettings& b)
{
    return SameValues(a.water, b.water, WaterSettingFields) && SameValues(a.hdr, b.hdr, HdrSettingFields) &&
           a.display.vsync == b.display.vsync && a.display.renderSize == b.display.renderSize &&
           a.display.picture == b.display.picture;
}

FileSettings SettingsInUse()
{
    return {waterSettings, HDRPostProcess.Settings(), displaySettings};
}

void UseDefaults()
{
    waterSettings = WaterSettings{};
    HDRPostProcess.Settings() = HdrSettings{};
    displaySettings = DisplaySettings{};
}

std::string Contents(const std::string& path)
{
    std::string text;
    ReadTextFile(path, text);
    return text;
}

// A sound first line, then comment lines until the size limit is crossed on line `line`.
std::string LongFile(int& line)
{
    const std::string comment = "# " + std::string(97, '-') + "\n";
    std::string text = "hdr.key = 0.5\n";
    while (text.size() <= MaxSettingsFileBytes)
        text += comment;
    line = static_cast<int>((MaxSettingsFileBytes - 14) / comment.size()) + 2;
    return text + "hdr.exposure = 1\n";
}

// Twelve lines that are no settings: ten are named, the rest counted.
void ManyDamagedLines(std::string& text, std::string& listing)
{
    for (int line = 1; line <= 12; ++line)
    {
        text += "?\n";
        if (line <= 10)
            listing += "f(" + std::to_string(line) + "): expected 'name = value'\n";
    }
    listing += "f: 2 more lines cannot be read\n";
}
}

TEST(SettingsFile, ReadsEverySoundLineAndNamesEachDamagedOne)
{
    int longLine = 0;
    const std::string longFile = LongFile(longLine);
    std::string manyLines, manyListing;
    ManyDamagedLines(manyLines, manyListing);
    const struct
    {
        std::string text;
        std::string listing;  // empty: every line reads
        std::string sound;    // the lines of a damaged text that must take effect, as they would alone
    } cases[] = {
        {"", "", ""},
        {"# kept\r\n\r\n  hdr.key=0.5 \r\n\twater.sun_intensity = 1e1\nvsync=off\n render_size = window \n"
         "picture= best\n", "", ""},
        {"\xEF\xBB\xBFhdr.key = +0.5\nwater.wave_speed0_x = +-0.1\n", "f(2): '+-0.1' is not a number\n",
         "hdr.key = 0.5"},
        {"hdr.key = 0.5\n\xEF\xBB\xBFhdr.exposure = 1\n", "f(2): this is not text\n", "hdr.key = 0.5"},
        {"hdr.exposure = 3.0\nhdr.key = 0,5\n", "f(2): '0,5' is not a number\n", "hdr.exposure = 3"},
        {"hdr.key = 0.5\nhdr.kee = 0.5\n", "f(2): there is no setting 'hdr.kee'\n", "hdr.key = 0.5"},
        {"hdr.key = 0.5x", "f(1): '0.5x' is not a number\n", ""},
        {"hdr.key = ", "f(1): '' is not a number\n", ""},
        {"hdr.key = nan", "f(1): 'nan' is not a number\n", ""},
        {"hdr.key = 1e39", "f(1): '1e39' is out of range: hdr.key must lie between 0.05 and 1\n", ""},
        {"hdr.key = -1e400", "f(1): '-1e400' is out of range: hdr.key must lie between 0.05 and 1\n", ""},
        {"water.sun_intensity = 1e-50\nhdr.key = 0.05", "", ""},
        {"water.sun_intensity = -inf", "f(1): '-inf' is out of range: water.sun_intensity must lie between 0 and 200\n",
         ""},
        {"water.sun_intensity = 200.5",
         "f(1): '200.5' is out of range: water.sun_intensity must lie between 0 and 200\n", ""},
        {"hdr.exposure = 7", "f(1): '7' is out of range: hdr.exposure must lie between 0.05 and 5\n", ""},
        {"hdr.exposure = 0.01", "f(1): '0.01' is out of range: hdr.exposure must lie between 0.05 and 5\n", ""},
        {"hdr.key 0.5", "f(1): expected 'name = value'\n", ""},
        {"hdr.key = 0.5\n\x7f" "ELF\x01\x02\xff\xfe = 1\n", "f(2): this is not text\n", "hdr.key = 0.5"},
        {std::string("hdr.key = 0.5\0", 14), "f(1): this is not text\n", ""},
        {"hdr.key = 0.5\nhdr.key = 0.6\n", "f(2): hdr.key is set twice\n", "hdr.key = 0.5"},
        {"hdr.key = 0,5\nhdr.key = 0.6\n", "f(1): '0,5' is not a number\n", "hdr.key = 0.6"},
        {"vsync = 0\nrender_size = window", "f(1): vsync must be on or off\n", "render_size = window"},
        {"render_size = Window", "f(1): render_size must be specified or window\n", ""},
        {"render_size = window\nrender_size = specified\n", "f(2): render_size is set twice\n", "render_size = window"},
        {"picture = Best\npicture = window\npicture = best", "f(1): picture must be specified or best\n"
         "f(2): picture must be specified or best\n", "picture = best"},
        {"picture = best\npicture = specified", "f(2): picture is set twice\n", "picture = best"},
        {manyLines, manyListing, ""},
        {longFile,
         "f(" + std::to_string(longLine) + "): the file goes on past 65536 bytes; from here on nothing is read\n",
         "hdr.key = 0.5"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text.substr(0, 60));
        FileSettings settings;
        EXPECT_EQ(ParseSettings("f", c.text, settings), c.listing);
        FileSettings expected;
        ASSERT_EQ(ParseSettings("f", c.listing.empty() ? c.text : c.sound, expected), "");
        EXPECT_TRUE(SameSettings(settings, expected)) << "the defaults, and the sound lines' values";
    }

    FileSettings settings;
    ASSERT_EQ(ParseSettings("f", cases[1].text, settings), "");
    EXPECT_EQ(settings.hdr.key, 0.5f);
    EXPECT_EQ(settings.water.sunIntensity, 10.0f);
    EXPECT_FALSE(settings.display.vsync);
    EXPECT_EQ(settings.display.renderSize, RenderSize::Window);
    EXPECT_EQ(settings.display.picture, Picture::Best);
    EXPECT_EQ(settings.hdr.exposure, 0.75f) << "a setting left out keeps its default";
}

// The save writes the settings in use into the file at the path it is given, each number read back
// bit for bit (those below have no short decimal form, or lie at the ends of their ranges), and
// says where they went. A link planted where a save once wrote aside is not followed. Where it
// cannot save (a folder in the file's place), it says why. Either way it leaves nothing behind.
TEST(SettingsFile, ASaveWritesTheSettingsInUseOrSaysWhyNot)
{
    ScratchFolder folder;
    const std::string path = folder.PathOf(SettingsFileName);
    folder.Write("target", "kept");
    fs::create_symlink(folder.PathOf("target"), path + ".new");
    waterSettings.waveSpeed0X = -1.0f / 3.0f;
    waterSettings.absorptionBlue = 1e-7f;
    waterSettings.sunShininess = 2000.0f;
    HDRPostProcess.Settings().exposure = 0.05f;
    HDRPostProcess.Settings().bloomStrength = 2.0f / 3.0f;
    displaySettings.vsync = false;
    displaySettings.renderSize = RenderSize::Window;
    displaySettings.picture = Picture::Best;

    EXPECT_EQ(SaveSettingsFile(path), "Saved to " + path);
    FileSettings settings;
    EXPECT_EQ(ParseSettings(path, Contents(path), settings), "");
    EXPECT_TRUE(SameSettings(settings, SettingsInUse()));
    EXPECT_EQ(Contents(folder.PathOf("target")), "kept");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(path)));

    fs::remove(path);
    fs::create_directory(path);
    EXPECT_EQ(SaveSettingsFile(path), "Could not save to " + path + ": Is a directory");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.PathOf("")), fs::directory_iterator()), 3)
        << "the folder in the file's place, the link and its target";
    UseDefaults();
}

// The file lives in the user's configuration folder, which the first save makes; where that folder
// cannot be made (a file in its place), the save says so, in the inspector and on the standard error.
TEST(SettingsFile, LivesInTheConfigurationFolderWhichTheFirstSaveMakes)
{
    ScratchFolder folder;
    const std::string config = std::getenv("XDG_CONFIG_HOME");  // the tests' own (see ScratchHome.cpp)
    setenv("XDG_CONFIG_HOME", folder.PathOf("config").c_str(), 1);
    const std::string path = folder.PathOf("config/merrowind/merrowind.settings");
    EXPECT_EQ(SettingsFilePath(), path);
    EXPECT_EQ(SaveSettingsFile(SettingsFilePath()), "Saved to " + path);
    EXPECT_TRUE(fs::is_regular_file(path));

    setenv("XDG_CONFIG_HOME", folder.Write("file", "").c_str(), 1);
    const std::string why = "could not save to " + folder.PathOf("file/merrowind/merrowind.settings") +
                            ": cannot create the folder " + folder.PathOf("file/merrowind") + ": Not a directory";
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(SaveSettingsFile(SettingsFilePath()), "C" + why.substr(1));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "merrowind: " + why + "\n");
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
}

// A file with a damaged line is loaded for its sound lines and reported once; the first save over
// it keeps it as merrowind.settings.bak, later saves leave that alone, and where a backup stands
// already the save refuses rather than lose the damaged file. A whole file is never backed up.
TEST(SettingsFile, TheFirstSaveOverADamagedFileKeepsIt)
{
    std::vector<std::string> reports;
    SetMessageBoxSink([&reports](const MessageBoxRecord& box) { reports.push_back(box.caption + ": " + box.text); });
    ScratchFolder folder;
    const std::string path = folder.PathOf(SettingsFileName);
    const std::string damaged = "hdr.exposure = 3.0\nhdr.key = 0,5\n";
    folder.Write(SettingsFileName, damaged);
    LoadSettingsFile(path);
    EXPECT_EQ(HDRPostProcess.Settings().exposure, 3.0f);
    ReportSettingsFile();
    ReportSettingsFile();
    EXPECT_EQ(reports, std::vector<std::string>{"Error: " + path + "(2): '0,5' is not a number\nEach line above "
                                                "is left out; the rest of the file is read."});

    EXPECT_EQ(SaveSettingsFile(path), "Saved to " + path);
    HDRPostProcess.Settings().key = 0.5f;
    EXPECT_EQ(SaveSettingsFile(path), "Saved to " + path);
    EXPECT_EQ(Contents(path + ".bak"), damaged);
    EXPECT_NE(Contents(path).find("hdr.key = 0.5\n"), std::string::npos);

    folder.Write(SettingsFileName, damaged);
    LoadSettingsFile(path);
    EXPECT_EQ(SaveSettingsFile(path), "Could not save to " + path + ": the damaged file would be lost, and " + path +
                                          ".bak, where it is kept, exists already");
    EXPECT_EQ(Contents(path), damaged);

    fs::remove(path + ".bak");
    folder.Write(SettingsFileName, "hdr.key = 0.5\n");
    LoadSettingsFile(path);
    EXPECT_EQ(SaveSettingsFile(path), "Saved to " + path);
    EXPECT_FALSE(fs::exists(path + ".bak"));
    EXPECT_EQ(reports.size(), 1u);
    SetMessageBoxSink(nullptr);
    UseDefaults();
}

namespace
{
// The lines of `text` longer than `width` characters.
int WideLines(const std::string& text, std::size_t width = ReadableWidth)
{
    int wide = 0;
    std::size_t characters = 0;
    for (char byte : text + "\n")
    {
        if (byte == '\n')
        {
            wide += characters > width;
            characters = 0;
        }
        characters += (static_cast<unsigned char>(byte) & 0xC0) != 0x80 && byte != '\n';
    }
    return wide;
}
}

// A 60 KB line gives a box of normal width, and a file past the size limit is said to be read only
// up to it. A configuration folder of 100 KB cannot be saved into, which the save says once, cut
// to a length the panel and a terminal wrap.
TEST(SettingsFile, LongLinesLongFilesAndLongPathsAreReportedAtAWidthAPersonReads)
{
    std::vector<std::string> boxes;
    SetMessageBoxSink([&boxes](const MessageBoxRecord& box) { boxes.push_back(box.text); });
    ScratchFolder folder;
    const std::string path = folder.PathOf(SettingsFileName);
    int longLine = 0;
    for (const std::string& text :
         {"hdr.key = " + std::string(60 * 1024, 'x') + "\nhdr.exposure = 3\n", LongFile(longLine)})
    {
        folder.Write(SettingsFileName, text);
        LoadSettingsFile(path);
        ReportSettingsFile();
    }
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(WideLines(boxes[0]), 0) << boxes[0];
    EXPECT_EQ(boxes[0].substr(boxes[0].size() - 58), "Each line above is left out; the rest of the file is read.");
    EXPECT_EQ(WideLines(boxes[1]), 0) << boxes[1];
    EXPECT_NE(boxes[1].find("\nEach line above is left out, as is everything past the file's first 65536 bytes; every "
                            "other line is read."),
              std::string::npos)
        << boxes[1];
    EXPECT_EQ(boxes[1].find("the rest of the file is read"), std::string::npos);
    fs::remove(path);
    fs::create_directory(path);
    LoadSettingsFile(path);
    ReportSettingsFile();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_NE(boxes[2].find("the file cannot be read: Is a directory;"),
              std::string::npos)
        << boxes[2];
    SetMessageBoxSink(nullptr);
    UseDefaults();

    const std::string config = std::getenv("XDG_CONFIG_HOME");
    setenv("XDG_CONFIG_HOME", ("/" + std::string(100 * 1024, 'c')).c_str(), 1);
    ::testing::internal::CaptureStderr();
    const std::string outcome = SaveSettingsFile(SettingsFilePath());
    const std::string said = ::testing::internal::GetCapturedStderr();
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    EXPECT_EQ(WideLines(outcome, ReadableLineLength), 0) << "the inspector's panel wraps it";
    EXPECT_EQ(outcome.rfind("Could not save to /ccc", 0), 0u) << outcome;
    EXPECT_EQ(outcome.substr(outcome.size() - 41), "bytes long; the system takes at most 4095") << outcome;
    EXPECT_EQ(said, "merrowind: c" + outcome.substr(1) + "\n");
}

namespace
{
// The settings panel in the inspector's window, 300 pixels wide and tall enough for every row, laid
// out by Dear ImGui without a window system; the pointer given is over the panel, its button down or
// not. Gives the rectangle of the last item drawn and the right edge of the window's content.
struct PanelFrame
{
    ImVec2 lastMin, lastMax;
    float contentRight;
};

PanelFrame DrawPanel(CSettingsPanel& panel, ImVec2 pointer, bool pressed)
{
    ImGuiIO& io = ImGui::GetIO();
    io.DeltaTime = 1.0f / 60.0f;
    io.MousePos = pointer;
    io.MouseDown[0] = pressed;
    ImGui::NewFrame();
    ImGui::SetNextWindowPos(ImVec2(10.0f, 10.0f));
    ImGui::SetNextWindowSize(ImVec2(300.0f, 1000.0f));
    ImGui::Begin("Inspector");
    panel.Draw();
    const PanelFrame frame{ImGui::GetItemRectMin(), ImGui::GetItemRectMax(),
                           ImGui::GetWindowPos().x + ImGui::GetWindowContentRegionMax().x};
    ImGui::End();
    ImGui::EndFrame();
    return frame;
}
}

// A save that fails (a folder in the file's place) says why below its button, wrapped at the
// window's edge rather than cut off there.
TEST(SettingsPanel, AFailedSaveSaysWhyWithinTheWindow)
{
    fs::create_directories(SettingsFilePath());
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;
    io.DisplaySize = ImVec2(640.0f, 1020.0f);
    unsigned char* pixels = nullptr;
    int width = 0, height = 0;
    io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);

    CSettingsPanel panel;
    const PanelFrame before = DrawPanel(panel, ImVec2(-1.0f, -1.0f), false);
    const ImVec2 save((before.lastMin.x + before.lastMax.x) / 2.0f, (before.lastMin.y + before.lastMax.y) / 2.0f);
    DrawPanel(panel, save, true);
    const PanelFrame after = DrawPanel(panel, save, false);
    EXPECT_GT(after.lastMin.y, before.lastMax.y - 1.0f) << "the outcome is the last item, below the button";
    EXPECT_LE(after.lastMax.x, after.contentRight + 0.5f);
    EXPECT_GE(after.lastMax.y - after.lastMin.y, 2.0f * ImGui::GetTextLineHeight()) << "wrapped onto lines of its own";
    ImGui::DestroyContext();
    fs::remove(SettingsFilePath());
}

namespace
{
struct Rows
{
    int top, bottom;
};

// The rows of the window's picture below its previews that `box` leaves uncovered: the taller band
// above or below it.
Rows UncoveredRows(FaultRun& run, unsigned long box, int height)
{
    const Rectangle window = run.Session().ClientArea(run.Window());
    const Rectangle covered = run.Session().Frame(box);
    const int top = std::clamp(covered.y - window.y, PreviewHeight, height);
    const int bottom = std::clamp(covered.y + covered.height - window.y, PreviewHeight, height);
    if (top - PreviewHeight >= height - bottom)
        return {PreviewHeight, top};
    return {bottom, height};
}

// The picture of a file that holds only `text`: the animation running, the eye settled.
Capture PictureOf(const std::string& text)
{
    FaultRun run;
    run.ReplaceSettings(text);
    if (!run.Launch())
        return Capture{};
    const Capture picture = run.WaitForAnimation(std::chrono::seconds(30));
    run.Quit();
    return picture;
}
}

// The issue's own file: a sound exposure four times the default, then a key written with a decimal
// comma. The picture is the one of a file with the sound line alone, and the box stands over it,
// never over a window still black.
TEST(SettingsFileEndToEnd, ADamagedLineGivesOneBoxOverThePictureOfTheSoundLines)
{
    const Capture reference = PictureOf("hdr.exposure = 3.0\n");
    ASSERT_GT(reference.width, 0);
    FaultRun run;
    run.ReplaceSettings("hdr.exposure = 3.0\nhdr.key = 0,5\n");
    ASSERT_TRUE(run.Launch());
    const unsigned long box = run.Session().WaitForWindowOtherThan(run.Window(), std::chrono::seconds(20));
    ASSERT_NE(box, 0ul);
    const Capture underTheBox = run.CaptureWindow();
    ASSERT_EQ(underTheBox.width, reference.width);
    const Rows rows = UncoveredRows(run, box, underTheBox.height);
    // The first frame starts from a fixed adapted luminance, a little off the settled one.
    EXPECT_NEAR(MeanLevel(underTheBox, 0, rows.top, underTheBox.width, rows.bottom),
                MeanLevel(reference, 0, rows.top, reference.width, rows.bottom), 8.0)
        << "the picture beside the box, rows " << rows.top << " to " << rows.bottom;

    EXPECT_EQ(run.DismissBoxes(1), std::vector<std::string>{"Error"});
    const Capture later = run.WaitForAnimation(std::chrono::seconds(30));
    ASSERT_EQ(later.width, reference.width);
    EXPECT_NEAR(MeanLevel(later, 0, PreviewHeight, later.width, later.height),
                MeanLevel(reference, 0, PreviewHeight, reference.width, reference.height), 2.0);
    EXPECT_TRUE(run.OpenBoxes().empty());
    EXPECT_EQ(run.Reports(), std::vector<std::string>{"Error: " + SettingsFilePath() + "(2): '0,5' is not a number\n    Each "
                                                      "line above is left out; the rest of the file is read."});
    if (HasFailure())
    {
        reference.SavePng(::testing::TempDir() + "settings-sound-lines.png");
        underTheBox.SavePng(::testing::TempDir() + "settings-damaged-box.png");
        later.SavePng(::testing::TempDir() + "settings-damaged.png");
    }
    EXPECT_EQ(run.Quit(), std::optional<int>(0));
}
