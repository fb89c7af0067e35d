// merrowind-snapshot: renders the real scene offscreen and writes frame N, as the window would
// show it, to a binary PPM image. Used by the golden-image test and for the README's screenshot.
//
//   merrowind-snapshot [--frame N] [--size WxH] [--render-size specified|window] [--view NAME]
//                      [--eye x,y,z --yaw radians] [--rotation degrees] --out FILE.ppm
//
// --view places the camera as the tour view of that name does (see CameraTour.cpp); options
// after it change that placement. --render-size is the setting of that name: the fixed targets
// (the default) or targets of the window's size.
#include "CameraTour.h"
#include "OffscreenScene.h"

#include "app/Scene.h"
#include "platform/DisplaySettings.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace
{
struct Options
{
    int frame = 1;
    int width = 640;
    int height = 480;
    SceneCamera camera;
    std::string out;
};

bool ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i + 1 < argc; i += 2)
    {
        const std::string name = argv[i];
        const std::string value = argv[i + 1];
        if (name == "--frame")
            options.frame = std::atoi(value.c_str());
        else if (name == "--size")
        {
            if (std::sscanf(value.c_str(), "%dx%d", &options.width, &options.height) != 2)
                return false;
        }
        else if (name == "--render-size")
        {
            if (!ParseRenderSize(value, displaySettings.renderSize))
                return false;
        }
        else if (name == "--view")
        {
            const TourView* view = FindTourView(value);
            if (view == nullptr)
                return false;
            options.camera = view->camera;
        }
        else if (name == "--eye")
        {
            options.camera.moved = true;
            if (!ParseTriple(value, options.camera.x, options.camera.y, options.camera.z))
                return false;
        }
        else if (name == "--yaw")
            options.camera.yaw = std::strtof(value.c_str(), nullptr);
        else if (name == "--rotation")
            options.camera.sceneRotation = std::strtof(value.c_str(), nullptr);
        else if (name == "--out")
            options.out = value;
        else
            return false;
    }
    return (argc % 2) == 1 && !options.out.empty() && options.frame >= 1 && options.width > 0 && options.height > 0;
}

// Reads the composed picture after the last frame's composite, before its swap.
class FrameGrabber : public IFrameObserver
{
public:
    explicit FrameGrabber(const OffscreenScene& scene) : scene(scene) {}
    void StageFinished(FrameStage stage) override
    {
        if (stage == FrameStage::Composite && grab)
            pixels = scene.ReadFrame();
    }

    bool grab = false;
    std::vector<unsigned char> pixels;

private:
    const OffscreenScene& scene;
};

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
        std::fprintf(stderr, "usage: %s [--frame N] [--size WxH] [--render-size specified|window] [--view NAME] "
                             "[--eye x,y,z --yaw radians] [--rotation degrees] --out FILE.ppm\nviews:", argv[0]);
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
    FrameGrabber grabber(scene);
    for (int frame = 1; frame <= options.frame; ++frame)
    {
        grabber.grab = frame == options.frame;
        RenderObservedFrame(grabber);
    }
    for (const MessageBoxRecord& box : scene.Boxes())
        std::fprintf(stderr, "message box \"%s\": %s\n", box.caption.c_str(), box.text.c_str());
    if (!WritePpm(out, options.width, options.height, grabber.pixels))
    {
        std::fprintf(stderr, "cannot write %s\n", out.c_str());
        return 1;
    }
    return scene.Boxes().empty() ? 0 : 3;
}
