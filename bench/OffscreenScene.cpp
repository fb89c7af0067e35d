// SPDX-License-Identifier: MIT
#include "OffscreenScene.h"

#include "app/CScreenshots.h"
#include "app/Scene.h"
#include "app/SettingsFile.h"
#include "app/WindowProcedure.h"
#include "camera/CCamera.h"
#include "camera/ViewState.h"
#include "platform/CWindow.h"

#include <SDL.h>
#include <epoxy/gl.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace
{
bool ChangeToExecutableFolder()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0)
        return false;
    path[length] = '\0';
    char* slash = std::strrchr(path, '/');
    if (slash == nullptr)
        return false;
    *slash = '\0';
    return chdir(path) == 0;
}

// The tools take the words the settings file takes.
template <typename Value, std::size_t Count>
bool ParseWord(const std::string& text, const SettingWord<Value> (&words)[Count], Value& value)
{
    for (const SettingWord<Value>& word : words)
    {
        if (text == word.word)
        {
            value = word.value;
            return true;
        }
    }
    return false;
}

// Reads the composed picture after the frame's composite, before its swap.
class FrameGrabber : public IFrameObserver
{
public:
    explicit FrameGrabber(const OffscreenScene& scene) : scene(scene) {}
    void StageFinished(FrameStage stage) override
    {
        if (stage == FrameStage::Composite)
            pixels = scene.ReadFrame();
    }

    std::vector<unsigned char> pixels;

private:
    const OffscreenScene& scene;
};
}

bool OffscreenScene::Start(int clientWidth, int clientHeight)
{
    SetMessageBoxSink([this](const MessageBoxRecord& box) { boxes.push_back(box); });
    if (!ChangeToExecutableFolder())
    {
        error = "cannot change into the run folder";
        return false;
    }
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    if (!MainWindow.Create("Merrowind :)", 0, 0, clientWidth, clientHeight, MainWindowProcedure))
    {
        error = std::string("cannot open an offscreen window: ") + SDL_GetError();
        return false;
    }
    MainWindow.Show();
    InitScene();
    SceneTimer.UseFixedStep(1.0 / 60.0);
    width = clientWidth;
    height = clientHeight;
    return true;
}

void OffscreenScene::Place(const SceneCamera& camera)
{
    SceneRotation.horizontal = camera.sceneRotation;
    if (!camera.moved)
    {
        Camera.Reset();
        return;
    }
    Camera.position = Vector3(camera.x, camera.y, camera.z);
    Camera.yaw = camera.yaw;
    Camera.Update();
}

bool OffscreenScene::QuitRequested()
{
    SDL_Event event;
    bool quit = false;
    while (SDL_PollEvent(&event))
        quit = quit || event.type == SDL_QUIT;
    return quit;
}

std::vector<unsigned char> OffscreenScene::ReadFrame() const
{
    return ReadBackBuffer(width, height);
}

std::vector<unsigned char> OffscreenScene::RenderAndReadFrame() const
{
    FrameGrabber grabber(*this);
    RenderObservedFrame(grabber);
    return grabber.pixels;
}

bool ParseRenderSize(const std::string& text, RenderSize& renderSize)
{
    return ParseWord(text, RenderSizeWords, renderSize);
}

bool ParsePicture(const std::string& text, Picture& picture)
{
    return ParseWord(text, PictureWords, picture);
}

bool ParsePictures(const std::string& text, std::vector<Picture>& pictures)
{
    std::istringstream list(text);
    std::string word;
    while (std::getline(list, word, ','))
    {
        Picture picture = Picture::Specified;
        if (!ParsePicture(word, picture))
            return false;
        pictures.push_back(picture);
    }
    return !pictures.empty();
}

const char* PictureWord(Picture picture)
{
    for (const SettingWord<Picture>& word : PictureWords)
        if (word.value == picture)
            return word.word;
    return "";
}
