// SPDX-License-Identifier: MIT
// merrowind-snapshot: renders the real scene offscreen and writes one moment of it, as the window
// would show it, to a binary PPM image. Used by the golden-image test and for the README's
// screenshot.
//
//   merrowind-snapshot [--frame N | --time SECONDS] [--fps N] [--size WxH]
//                      [--render-size specified|window] [--picture specified|best] [--view NAME]
//                      [--eye x,y,z --yaw radians] [--rotation degrees] --out FILE.ppm
//
// The scene is stepped at --fps frames a second (60 by default), however long each frame takes:
// --frame N writes the Nth frame (the moment (N - 1) / fps), --time the frame nearest to that
// moment. The same moment gives the same picture at any rate. --view places the camera as the
// tour view of that name does (see CameraTour.cpp); options after it change that placement.
// --render-size is the setting of that name: the fixed targets (the default) or targets of the
// window's size. --picture is the setting of that name: the specified picture (the default) or the
// steadiest one the driver allows.
//
// Exit status: 0 written; 1 the scene or the file could not be had; 2 the usage; 3 written, but
// the program showed a message box; 4 stopped by SIGINT or SIGTERM, nothing written.
#include "Arguments.h"
#include "CameraTour.h"
#include "OffscreenScene.h"

#include "app/Scene.h"
#include "platform/DisplaySettings.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

namespace
{
// Longer runs are refused: at the software renderer's few frames a second they would take days.
constexpr long MostFrames = 1000000;
constexpr int MostFramesASecond = 1000;
constexpr double LongestTime = MostFrames;
// Eye positions, headings and rotations beyond this are no view of the scene.
constexpr double LargestPlacement = 1.0e6;

struct Options
{
    long frame = 1;
    double time = -1.0;  // below 0: not asked for
    int fps = 60;
    int width = 640;
    int height = 480;
    SceneCamera camera;
    std::string out;
};

bool ParsePlacement(const char* text, float& value)
{
    double parsed = 0.0;
    if (!ParseReal(text, -LargestPlacement, LargestPlacement, parsed))
        return false;
    value = static_cast<float>(parsed);
    return true;
}

bool ParseOption(const std::string& name, const char* value, Options& options, bool& frameGiven)
{
    if (name == "--frame")
    {
        frameGiven = true;
        return ParseCount(value, 1L, MostFrames, options.frame);
    }
    if (name == "--time")
        return ParseReal(value, 0.0, LongestTime, options.time);
    if (name == "--fps")
        return ParseCount(value, 1, MostFramesASecond, options.fps);
    if (name == "--size")
        return ParseSize(value, options.width, options.height);
    if (name == "--render-size")
        return ParseRenderSize(value, displaySettings.renderSize);
    if (name == "--picture")
        return ParsePicture(value, displaySettings.picture);
    if (name == "--view")
    {
        const TourView* view = FindTourView(value);
        if (view != nullptr)
            options.camera = view->camera;
        return view != nullptr;
    }
    if (name == "--eye")
    {
        options.camera.moved = true;
        SceneCamera& eye = options.camera;
        return ParseTriple(value, -LargestPlacement, LargestPlacement, eye.x, eye.y, eye.z);
    }
    if (name == "--yaw")
        return ParsePlacement(value, options.camera.yaw);
    if (name == "--rotation")
        return ParsePlacement(value, options.camera.sceneRotation);
    if (name == "--out")
        options.out = value;
    return name == "--out";
}

// A moment becomes the frame that shows it, at the rate asked for; the frame that shows moment 0
// is the first.
bool ParseOptions(int argc, char** argv, Options& options)
{
    bool frameGiven = false;
    for (int i = 1; i + 1 < argc; i += 2)
        if (!ParseOption(argv[i], argv[i + 1], options, frameGiven))
            return false;
    if (argc % 2 == 0 || options.out.empty() || (frameGiven && options.time >= 0.0))
        return false;
    if (options.time >= 0.0)
    {
        const double frames = std::round(options.time * options.fps) + 1.0;
        if (frames > MostFrames)
            return false;
        options.frame = static_cast<long>(frames);
    }
    return true;
}

bool WritePpm(const std::string& path, int width, int height, const std::vector<unsigned char>& rgb)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    std::fprintf(file, "P6\n%d %d\n255\n", width, height);
    const bool written = std::fwrite(rgb.data(), 1, rgb.size(), file) == rgb.size();
    return std::fclose(file) == 0 && written;
}
}

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options))
    {
        std::fprintf(stderr, "usage: %s [--frame N | --time SECONDS] [--fps N] [--size WxH] "
                             "[--render-size specified|window] [--picture specified|best] [--view NAME] "
                             "[--eye x,y,z --yaw radians] [--rotation degrees] --out FILE.ppm\n"
                             "       (at most %ld frames, %d a second; sides of 1 to 16384 pixels)\nviews:",
                     argv[0], MostFrames, MostFramesASecond);
        for (const TourView& view : CameraTour())
            std::fprintf(stderr, " %s", view.name);
        std::fprintf(stderr, "\n");
        return 2;
    }
    const std::string out = std::filesystem::absolute(options.out).string();

    OffscreenScene scene;
    if (!scene.Start(options.width, options.height))
    {
        std::fprintf(stderr, "%s\n", scene.Error().c_str());
        return 1;
    }
    OffscreenScene::Place(options.camera);
    SceneTimer.UseFixedStep(1.0 / options.fps);
    std::vector<unsigned char> pixels;
    for (long frame = 1; frame <= options.frame; ++frame)
    {
        if (OffscreenScene::QuitRequested())
        {
            std::fprintf(stderr, "stopped after %ld of %ld frames: nothing written\n", frame - 1, options.frame);
            return 4;
        }
        if (frame < options.frame)
            RenderFrame();
        else
            pixels = scene.RenderAndReadFrame();
    }
    for (const MessageBoxRecord& box : scene.Boxes())
        std::fprintf(stderr, "message box \"%s\": %s\n", box.caption.c_str(), box.text.c_str());
    if (!WritePpm(out, options.width, options.height, pixels))
    {
        std::fprintf(stderr, "cannot write %s\n", out.c_str());
        return 1;
    }
    return scene.Boxes().empty() ? 0 : 3;
}
