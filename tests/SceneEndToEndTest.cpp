// SPDX-License-Identifier: MIT
// The finished scene as a user sees it: captures of the real window under Xvfb, input that
// changes the view, screenshots, and start-up from another folder or with files missing.
#include "RealProgram.h"
#include "ScratchFolder.h"
#include "X11Session.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <thread>
#include <utility>

namespace
{
using namespace std::chrono_literals;
namespace fs = std::filesystem;


double WhiteShare(const Capture& capture, int x0, int y0, int x1, int y1)
{
    int white = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            white += capture.Pixel(x, y)[0] > 240 && capture.Pixel(x, y)[1] > 240 && capture.Pixel(x, y)[2] > 240;
    return static_cast<double>(white) / ((x1 - x0) * (y1 - y0));
}

// The screenshots named after the date and time in `folder`.
std::vector<fs::path> ScreenshotFiles(const std::string& folder)
{
    const std::regex name("merrowind-[0-9]{4}-[0-9]{2}-[0-9]{2}-[0-9]{6}(-[0-9]+)?\\.png");
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        if (std::regex_match(entry.path().filename().string(), name))
            files.push_back(entry.path());
    return files;
}

// Once `count` screenshots are in `folder`, stops the program the moment they all read whole, so
// that the window still shows the screenshot's frame or the one before it, however busy the
// machine; gives them by name, the program stopped. Nothing when they do not come.
std::map<std::string, Capture> StopOnceWritten(const X11Session& session, const std::string& folder,
                                               std::size_t count)
{
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (std::chrono::steady_clock::now() < deadline)
    {
        std::this_thread::sleep_for(2ms);
        if (ScreenshotFiles(folder).size() < count)
            continue;
        session.Signal(SIGSTOP);
        std::map<std::string, Capture> screenshots;
        for (const fs::path& file : ScreenshotFiles(folder))
            if (Capture screenshot; screenshot.Load(file))
                screenshots.emplace(file.filename(), std::move(screenshot));
        if (screenshots.size() >= count)
            return screenshots;
        session.Signal(SIGCONT);
    }
    return {};
}

// The mean difference over the window outside one rectangle.
double MeanDifferenceOutside(const Capture& a, const Capture& b, int x0, int y0, int x1, int y1)
{
    const double whole = MeanDifference(a, b, 0, 0, a.width, a.height) * a.width * a.height;
    const double inside = MeanDifference(a, b, x0, y0, x1, y1) * (x1 - x0) * (y1 - y0);
    return (whole - inside) / (a.width * a.height - (x1 - x0) * (y1 - y0));
}

// Shares of a rectangle's pixels that are grey, white and dark.
struct Greys
{
    double grey = 0.0, white = 0.0, dark = 0.0;
};

Greys GreysIn(const Capture& capture, int x0, int y0, int x1, int y1)
{
    Greys shares;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
        {
            const unsigned char* p = capture.Pixel(x, y);
            shares.grey += std::abs(p[0] - p[1]) <= 2 && std::abs(p[1] - p[2]) <= 2;
            shares.white += p[0] > 240 && p[1] > 240 && p[2] > 240;
            shares.dark += p[0] < 60 && p[1] < 60 && p[2] < 60;
        }
    const double count = static_cast<double>((x1 - x0) * (y1 - y0));
    return Greys{shares.grey / count, shares.white / count, shares.dark / count};
}

void SaveOnFailure(const Capture& capture, const std::string& name)
{
    if (::testing::Test::HasFailure())
        capture.SavePng(::testing::TempDir() + name + ".png");
}

class SceneEndToEnd : public ::testing::Test
{
protected:
    void Launch(const std::string& folder, const std::vector<std::string>& arguments = {},
                const std::vector<std::string>& environment = {})
    {
        ASSERT_TRUE(session.Running());
        session.Start(folder, Program, arguments, environment);
        window = session.WaitForWindow(Caption, 60s);
        ASSERT_NE(window, 0u);
    }

    // A capture after the scene has had time to render and settle its eye adaptation.
    Capture Settled(std::chrono::milliseconds wait = 3s)
    {
        std::this_thread::sleep_for(wait);
        return session.CaptureWindow(window);
    }

    // Waits until the window shows new frames.
    void WaitForFrames()
    {
        const Capture first = session.CaptureWindow(window);
        for (int attempt = 0; attempt < 300 && session.CaptureWindow(window).rgb == first.rgb; ++attempt)
            std::this_thread::sleep_for(100ms);
    }

    // A settled capture, and how much a second of the moving water alone changes the rectangle.
    std::pair<Capture, double> StillAndIdle(int x0, int y0, int x1, int y1)
    {
        const Capture before = Settled();
        Capture still = Settled(1s);
        const double idle = MeanDifference(before, still, x0, y0, x1, y1);
        return {std::move(still), idle};
    }

    void Quit()
    {
        session.Key(window, "Escape");
        EXPECT_EQ(session.WaitForExit(60s), std::optional<int>(0));
    }

    X11Session session;
    unsigned long window = 0;
};
}

TEST_F(SceneEndToEnd, ShowsSkyAboveWaterAndTerrainWithThePreviewsTopLeft)
{
    Launch(RunFolder);
    // The start view looks steeply down; lowering the eye to the floor brings the horizon in.
    Settled(2s);
    session.Drag(window, 1, 320, 300, 320, 200);
    const Capture capture = Settled();
    ASSERT_EQ(capture.width, 640);
    ASSERT_EQ(capture.height, 480);

    std::set<int> colours;
    for (int y = 0; y < capture.height; y += 2)
        for (int x = 0; x < capture.width; x += 2)
            colours.insert((capture.Pixel(x, y)[0] << 16) | (capture.Pixel(x, y)[1] << 8) | capture.Pixel(x, y)[2]);
    EXPECT_GT(colours.size(), 2000u) << "the window shows a flat picture";

    const auto blueness = [&](int y) {
        double sum = 0.0;
        for (int x = 0; x < 640; ++x)
            sum += capture.Pixel(x, y)[2] - capture.Pixel(x, y)[0];
        return sum / 640.0;
    };
    EXPECT_GT(blueness(80), 10.0) << "no blue sky at the top of the window";
    double skyToGround = 0.0;
    for (int c = 0; c < 3; ++c)
    {
        double top = 0.0, bottom = 0.0;
        for (int x = 0; x < 640; ++x)
        {
            top += capture.Pixel(x, 80)[c];
            bottom += capture.Pixel(x, 440)[c];
        }
        skyToGround += std::abs(top - bottom) / 640.0;
    }
    EXPECT_GT(skyToGround, 30.0) << "the bottom of the window should show water and terrain, not sky";

    EXPECT_GT(VerticalEdge(capture, 80, 5, 55), 1.5) << "no preview edge at x = 80";
    EXPECT_GT(VerticalEdge(capture, 160, 5, 55), 1.5) << "no preview edge at x = 160";
    EXPECT_GT(HorizontalEdge(capture, 60, 5, 155), 1.5) << "no preview edge at y = 60";
    EXPECT_GT(WhiteShare(capture, 0, 0, 80, 60), 0.05) << "the left preview should be the refraction image";
    EXPECT_LT(WhiteShare(capture, 80, 0, 160, 60), 0.01) << "the right preview should be the reflection image";
    SaveOnFailure(capture, "scene");
    Quit();
}

TEST_F(SceneEndToEnd, PreviewsKeepAnEighthOfTheWindowAfterAResize)
{
    Launch(RunFolder);
    session.ResizeWindow(window, 800, 400);
    const Capture capture = Settled();
    ASSERT_EQ(capture.width, 800);
    ASSERT_EQ(capture.height, 400);
    EXPECT_GT(VerticalEdge(capture, 100, 5, 45), 1.5);
    EXPECT_GT(VerticalEdge(capture, 200, 5, 45), 1.5);
    EXPECT_GT(HorizontalEdge(capture, 50, 5, 195), 1.5);
    EXPECT_GT(WhiteShare(capture, 0, 0, 100, 50), 0.05);
    EXPECT_LT(WhiteShare(capture, 100, 0, 200, 50), 0.01);
    SaveOnFailure(capture, "resized");
    Quit();
}

TEST_F(SceneEndToEnd, ArrowKeysAndDragsChangeTheView)
{
    Launch(RunFolder);
    // The water moves by itself: input must change the picture far more than time alone does.
    const auto [still, idle] = StillAndIdle(0, 60, 640, 480);

    session.Key(window, "Up Up Up Up Up Up Up Up Up Up Left Left Left Left");
    const Capture walked = Settled(2s);
    EXPECT_GT(MeanDifference(still, walked, 0, 60, 640, 480), idle * 2.0 + 2.0) << "arrow keys";

    session.Drag(window, 1, 320, 240, 420, 200);
    const Capture turned = Settled(2s);
    EXPECT_GT(MeanDifference(walked, turned, 0, 60, 640, 480), idle * 2.0 + 2.0) << "left drag";

    session.Drag(window, 3, 320, 240, 200, 240);
    const Capture rotated = Settled(2s);
    EXPECT_GT(MeanDifference(turned, rotated, 0, 60, 640, 480), idle * 2.0 + 2.0) << "right drag";
    SaveOnFailure(rotated, "moved");
    Quit();
}

// Each F12 makes a new file in the pictures folder (the tests' home has no user-dirs.dirs: the home
// folder itself), and the window is captured with the program stopped as soon as the file is
// whole. The previews must be the very same pixels. The water goes on moving until the program
// stops, the more frames the busier the machine: pictures of this view a twentieth of a second
// apart differ by 0.4 on average, a second apart by 1.3, and no further however far apart; the
// picture upside down or with red and blue swapped differs by about 30.
TEST_F(SceneEndToEnd, F12WritesWhatTheWindowShowsIntoANewPngInThePicturesFolder)
{
    const std::string pictures = std::getenv("HOME");
    Launch(RunFolder);
    WaitForFrames();
    std::set<std::string> compared;
    for (std::size_t press = 1; press <= 2; ++press)
    {
        session.Key(window, "F12");
        std::map<std::string, Capture> screenshots = StopOnceWritten(session, pictures, press);
        const Capture shown = session.CaptureWindow(window);
        session.Signal(SIGCONT);
        ASSERT_EQ(screenshots.size(), press) << "one new file for each press";
        for (const std::string& name : compared)
            screenshots.erase(name);
        ASSERT_EQ(screenshots.size(), 1u) << "a file was replaced";
        compared.insert(screenshots.begin()->first);
        const Capture& screenshot = screenshots.begin()->second;
        ASSERT_EQ(screenshot.width, shown.width);
        ASSERT_EQ(screenshot.height, shown.height);
        EXPECT_EQ(MeanDifference(screenshot, shown, 0, 0, 160, 60), 0.0) << "the previews";
        EXPECT_LT(MeanDifference(screenshot, shown, 0, 0, shown.width, shown.height), 3.0);
        SaveOnFailure(screenshot, "screenshot");
        SaveOnFailure(shown, "shown");
    }
    EXPECT_EQ(ScreenshotFiles(pictures).size(), 2u);
    Quit();
}

// The README's example, `build/run/merrowind` started from elsewhere: the program takes its
// files from beside itself, and no box comes. A box would hold start-up up, so frames that change
// the picture mean that start-up is over.
TEST_F(SceneEndToEnd, StartedFromAnotherFolderTheProgramFindsItsFilesBesideItself)
{
    const ScratchFolder empty;
    Launch(empty.PathOf(""), {}, {"MERROWIND_MESSAGE_BOX_RECORD=" + empty.PathOf("boxes.txt")});
    WaitForFrames();
    EXPECT_FALSE(fs::exists(empty.PathOf("boxes.txt")));
    EXPECT_EQ(session.WindowTitles(), std::vector<std::string>{Caption});
    Quit();
}

// Installed with an image missing, started from a folder without the files: one box, before any
// window, names every folder tried and what each lacks; then the program ends.
TEST_F(SceneEndToEnd, WithoutItsFilesAnywhereOneBoxNamesTheFoldersTriedAndWhatEachLacks)
{
    const ScratchFolder root;
    const fs::path program = root.PathOf("usr/libexec/merrowind/merrowind");
    const fs::path data = root.PathOf("usr/share/merrowind");
    fs::create_directories(program.parent_path());
    fs::copy_file(Program, program);
    fs::create_directories(data);
    fs::copy(fs::path(RunFolder) / "CG", data / "CG", fs::copy_options::recursive);
    for (const char* image : {"TerrainMaterial.bmp", "heigth.bmp", "norm1.bmp", "height1.bmp", "skybox.bmp"})
        fs::copy(fs::path(RunFolder) / image, data / image);
    fs::create_directories(root.PathOf("work"));
    ASSERT_TRUE(session.Running());
    session.Start(root.PathOf("work"), program, {}, {"MERROWIND_MESSAGE_BOX_RECORD=" + root.PathOf("boxes.txt")});

    const unsigned long box = session.WaitForWindowOtherThan(0, 60s);
    ASSERT_NE(box, 0u);
    EXPECT_EQ(session.Title(box), "Files missing");
    EXPECT_EQ(session.WaitForWindow(Caption, 0ms), 0u) << "a window came with the box";
    session.DismissBox(box);
    EXPECT_EQ(session.WaitForExit(60s), std::optional<int>(EXIT_FAILURE));
    std::ifstream record(root.PathOf("boxes.txt"));
    const std::string reported((std::istreambuf_iterator<char>(record)), std::istreambuf_iterator<char>());
    EXPECT_EQ(reported, "Merrowind: Files missing: The program's shaders (CG/) and images (*.bmp) are in none of the "
                        "folders it looked in:\n    " +
                            root.PathOf("work") + ": has none of them\n    " + root.PathOf("usr/libexec/merrowind") +
                            ": has none of them\n    " + root.PathOf("usr/libexec/share/merrowind") +
                            ": no such folder\n    " + data.string() + ": lacks norm.bmp\n");
}

namespace
{
// Where the inspector's window first opens, in client pixels, and its scale slider: the knob
// at 1 and the slider's left end, which stands for 0.
constexpr int InspectorLeft = 10, InspectorTop = 70, InspectorRight = 310, InspectorBottom = 470;
constexpr int ScaleKnobX = 70, ScaleY = 129, ScaleStartX = 19;
// Right of the inspector and the previews, above the view's caption: the view alone.
constexpr int ViewLeft = 320, ViewTop = 0, ViewRight = 640, ViewBottom = 440;
}

// F1 opens the inspector: the picture changes where it draws and only there while the camera
// stands still (the water moves by itself: no more than time alone changes it); F1 again closes
// it and the picture is the usual one.
TEST_F(SceneEndToEnd, F1ShowsTheInspectorOverThePictureAndF1AgainHidesIt)
{
    Launch(RunFolder);
    const auto [still, idle] = StillAndIdle(0, 0, 640, 480);

    session.Key(window, "F1");
    const Capture open = Settled(2s);
    EXPECT_GT(MeanDifference(still, open, InspectorLeft, InspectorTop, InspectorRight, InspectorBottom), 20.0);
    EXPECT_LE(MeanDifferenceOutside(still, open, InspectorLeft, InspectorTop, InspectorRight, InspectorBottom),
              idle * 2.0 + 2.0);

    session.Key(window, "F1");
    const Capture closed = Settled(2s);
    EXPECT_LE(MeanDifference(still, closed, 0, 0, 640, 480), idle * 2.0 + 2.0);
    SaveOnFailure(open, "inspector-open");
    SaveOnFailure(closed, "inspector-closed");
    Quit();
}

// Opened on the refraction's alpha, the window shows it in grey: white where the image holds no
// terrain, dark under deep water. A left drag over the scale slider moves the slider (scale 0:
// the view goes black) and not the camera (the previews stay as they were).
TEST_F(SceneEndToEnd, TheInspectorShowsTheChosenImageAndTakesTheDragsOverItsWindow)
{
    Launch(RunFolder, {"--inspector", "refraction_alpha"});
    const auto [alpha, idle] = StillAndIdle(0, 0, 160, 60);
    const Greys shares = GreysIn(alpha, ViewLeft, ViewTop, ViewRight, ViewBottom);
    EXPECT_GT(shares.grey, 0.99);
    EXPECT_GT(shares.white, 0.3);
    EXPECT_GT(shares.dark, 0.01);

    session.Drag(window, 1, ScaleKnobX, ScaleY, ScaleStartX, ScaleY);
    const Capture dragged = Settled(2s);
    EXPECT_GT(GreysIn(dragged, ViewLeft, ViewTop, ViewRight, ViewBottom).dark, 0.99) << "the slider did not move";
    EXPECT_LE(MeanDifference(alpha, dragged, 0, 0, 160, 60), idle * 2.0 + 1.0) << "the camera moved";

    session.Key(window, "F1");
    const Capture closed = Settled(2s);
    EXPECT_LT(GreysIn(closed, ViewLeft, ViewTop, ViewRight, ViewBottom).grey, 0.5) << "still a grey view";
    SaveOnFailure(alpha, "inspector-alpha");
    SaveOnFailure(dragged, "inspector-dragged");
    Quit();
}
