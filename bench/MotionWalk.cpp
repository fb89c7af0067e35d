// SPDX-License-Identifier: MIT
#include "MotionWalk.h"

#include "ChildProcess.h"

#include "app/Scene.h"
#include "camera/CCamera.h"

#include <unistd.h>

#include <cstdio>

namespace
{
constexpr int StoppedStatus = 4;
constexpr double FrameStep = 1.0 / 60.0;
// The step of the frame that adapts the eye at the walk's first place: a minute, over which the
// eye's exponential leaves nothing of where it started at any adaptation rate the settings allow,
// so that a walk at any size starts from the luminance of its own first picture.
constexpr double AdaptingStep = 60.0;

bool WriteAll(int channel, const void* data, size_t bytes)
{
    const char* at = static_cast<const char*>(data);
    while (bytes > 0)
    {
        const ssize_t written = write(channel, at, bytes);
        if (written <= 0)
            return false;
        at += written;
        bytes -= static_cast<size_t>(written);
    }
    return true;
}

bool ReadAll(int channel, void* data, size_t bytes)
{
    char* at = static_cast<char*>(data);
    while (bytes > 0)
    {
        const ssize_t got = read(channel, at, bytes);
        if (got <= 0)
            return false;
        at += got;
        bytes -= static_cast<size_t>(got);
    }
    return true;
}

// The water's moment stays at the first frame's from here on; the eye still adapts at each frame.
void AdaptAtTheFirstPlace(const WalkPlan& plan)
{
    OffscreenScene::Place(plan.start);
    SceneTimer.HoldMoment();
    RenderFrame();
    SceneTimer.UseFixedStep(AdaptingStep);
    RenderFrame();
    SceneTimer.UseFixedStep(FrameStep);
}

bool Failed(const OffscreenScene& scene)
{
    for (const MessageBoxRecord& box : scene.Boxes())
        std::fprintf(stderr, "message box \"%s\": %s\n", box.caption.c_str(), box.text.c_str());
    return !scene.Boxes().empty();
}

int DrawWalkHere(const WalkPlan& plan, int channel)
{
    OffscreenScene scene;
    displaySettings.renderSize = plan.renderSize;
    displaySettings.picture = plan.picture;
    if (!scene.Start(plan.width, plan.height))
    {
        std::fprintf(stderr, "%s\n", scene.Error().c_str());
        return 1;
    }
    if (Failed(scene))
        return 1;
    AdaptAtTheFirstPlace(plan);
    for (int step = 0; step <= plan.steps; ++step)
    {
        if (OffscreenScene::QuitRequested())
            return StoppedStatus;
        OffscreenScene::Place(plan.start);
        Camera.Strafe(WalkStep * static_cast<float>(step));
        const MotionFrame frame = AverageDown(scene.RenderAndReadFrame(), plan.width, plan.height, plan.factor);
        if (!WriteAll(channel, frame.levels.data(), frame.levels.size() * sizeof(float)))
            return 1;
    }
    return Failed(scene) ? 1 : 0;
}
}

int DrawWalk(const WalkPlan& plan, std::vector<MotionFrame>& frames)
{
    frames.clear();
    MotionFrame frame;
    frame.width = plan.width / plan.factor;
    frame.height = plan.height / plan.factor;
    frame.levels.resize(static_cast<size_t>(frame.width) * frame.height * 3);
    return RunInChildProcess([&plan](int channel) { return DrawWalkHere(plan, channel); },
                             [&](int channel) {
                                 for (int step = 0; step <= plan.steps; ++step)
                                 {
                                     if (!ReadAll(channel, frame.levels.data(), frame.levels.size() * sizeof(float)))
                                         return false;
                                     frames.push_back(frame);
                                 }
                                 return true;
                             });
}
