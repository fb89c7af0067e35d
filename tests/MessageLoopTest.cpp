// SPDX-License-Identifier: MIT
#include "app/FrameTimer.h"
#include "app/MessageLoop.h"
#include "platform/CWindow.h"
#include "platform/QuitMessage.h"

#include <SDL.h>
#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

namespace
{
// A message source that plays a script: each peek either finds the next scripted message or,
// for an 'idle' entry, finds none. A size message of 0 x 0 hides the window, as minimising does,
// and any other size shows it; while hidden, the wait takes the next message the script has,
// passing over idle entries. The trace records what the loop did in order.
std::string trace;

struct ScriptedSource : IMessageSource
{
    std::deque<Message> script;  // message 0 stands for an empty queue on that peek
    bool hidden = false;

    bool WaitWhileHidden(Message& message) override
    {
        if (!hidden)
            return false;
        trace += "w";
        while (!script.empty() && script.front().message == 0)
            script.pop_front();
        return PeekMessage(message);
    }

    bool PeekMessage(Message& message) override
    {
        if (TakePostedQuitMessage(message))
            return true;
        if (script.empty())
        {
            trace += "!";  // peeked past the end of the script: end the loop with code 9
            message = Message{WM_QUIT, 9, 0};
            return true;
        }
        const Message next = script.front();
        script.pop_front();
        if (next.message == 0)
            return false;
        if (next.message == WM_SIZE)
            hidden = next.lParam == 0;
        message = next;
        return true;
    }
};

LRESULT RecordingProcedure(std::uint32_t message, WPARAM, LPARAM)
{
    trace += message == WM_MOUSEMOVE ? "m" : message == WM_SIZE ? "s" : "?";
    if (message == WM_CLOSE)
        PostQuitMessage(0);
    return 0;
}

void RecordFrame()
{
    trace += "F";
}

Message Move()
{
    return Message{WM_MOUSEMOVE, 0, 0};
}

Message Idle()
{
    return Message{};
}

Message Size(int width, int height)
{
    return Message{WM_SIZE, 0, MakeLParam(width, height)};
}

int RunScript(ScriptedSource& source)
{
    trace.clear();
    return RunMessageLoop(source, RecordingProcedure, RecordFrame);
}
}

TEST(MessageLoop, NoFrameWhileMessagesWaitOrTheWindowIsHiddenAndFramesResumeAtOnce)
{
    const Message close{WM_CLOSE, 0, 0};
    const struct
    {
        std::deque<Message> script;
        const char* trace;
    } cases[] = {
        {{Move(), Move(), Move(), Idle(), Idle(), Move(), Idle(), close}, "mmmFFmF?"},
        // Minimised, the loop waits through the idle turns for the next message instead of drawing.
        {{Move(), Idle(), Size(0, 0), Idle(), Idle(), Move(), Idle(), Size(640, 480), Idle(), close}, "mFswmwsF?"},
    };
    for (const auto& test : cases)
    {
        ScriptedSource source;
        source.script = test.script;
        EXPECT_EQ(RunScript(source), 0);
        EXPECT_EQ(trace, test.trace);
    }
}

TEST(MessageLoop, QuitEndsTheLoopBeforeAnotherFrameAndCarriesItsCode)
{
    ScriptedSource source;
    source.script = {Idle(), Message{WM_CLOSE, 0, 0}, Idle(), Idle()};
    EXPECT_EQ(RunScript(source), 0);
    EXPECT_EQ(trace, "F?");
    EXPECT_EQ(source.script.size(), 2u) << "no peek after the quit message";

    PostQuitMessage(3);
    EXPECT_EQ(RunScript(source), 3);
    EXPECT_EQ(trace, "") << "a quit posted before the loop still lets the first turn peek it";
}

TEST(MessageLoop, TheFirstTurnAlwaysRuns)
{
    ScriptedSource source;
    source.script = {Idle()};
    EXPECT_EQ(RunScript(source), 9);
    EXPECT_EQ(trace, "F!");
}

TEST(WindowPeek, AnEventWithoutAMessageLeavesTheCallersRecordAsItWas)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    CWindow window;
    ASSERT_TRUE(window.Create("peek", 0, 0, 64, 64, RecordingProcedure)) << SDL_GetError();
    Message record;
    while (window.PeekMessage(record))
    {
    }
    SDL_Event middleButton{};
    middleButton.type = SDL_MOUSEBUTTONDOWN;
    middleButton.button.button = SDL_BUTTON_MIDDLE;
    middleButton.button.x = 5;
    middleButton.button.y = 6;
    ASSERT_EQ(SDL_PushEvent(&middleButton), 1);

    record = Message{WM_KEYDOWN, 27, 1234};
    EXPECT_FALSE(window.PeekMessage(record));
    EXPECT_EQ(record.message, WM_KEYDOWN);
    EXPECT_EQ(record.wParam, 27u);
    EXPECT_EQ(record.lParam, 1234);
}

// The frames' time follows the clock, up to a quarter of a second for a stalled frame; the first
// frame steps as one at 60 Hz; a fixed step ignores the clock; a held moment still steps.
TEST(FrameTimer, StepsFollowTheClockUpToAQuarterSecondOrAreFixed)
{
    const struct
    {
        const char* name;
        double fixedStep;
        size_t heldFrom;  // the frame before which the moment is held
        std::vector<double> clock;  // seconds at which the frames begin
        std::vector<double> steps;
        std::vector<double> moments;
    } cases[] = {
        {"clock", 0.0, 9, {5.0, 5.016, 5.05, 7.05, 7.06}, {1.0 / 60.0, 0.016, 0.034, 0.25, 0.01}, {0.0, 0.016, 0.05, 0.3, 0.31}},
        {"fixed", 0.05, 9, {5.0, 5.001, 9.0}, {1.0 / 60.0, 0.05, 0.05}, {0.0, 0.05, 0.1}},
        {"held", 0.05, 2, {5.0, 5.001, 9.0, 9.5}, {1.0 / 60.0, 0.05, 0.05, 0.05}, {0.0, 0.05, 0.05, 0.05}},
    };
    for (const auto& test : cases)
    {
        FrameTimer timer;
        timer.UseFixedStep(test.fixedStep);
        for (size_t frame = 0; frame < test.clock.size(); ++frame)
        {
            if (frame == test.heldFrom)
                timer.HoldMoment();
            const auto now = std::chrono::steady_clock::time_point(
                std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(test.clock[frame])));
            const FrameTime time = timer.Next(now);
            EXPECT_NEAR(time.stepSeconds, test.steps[frame], 1e-6) << test.name << ", frame " << frame;
            EXPECT_NEAR(time.sceneSeconds, test.moments[frame], 1e-6) << test.name << ", frame " << frame;
        }
    }
}

// The context starts unpaced, as the tools need it; vertical sync is then switched on (adaptive
// or not, whichever the driver takes) and off again.
TEST(WindowPacing, SwapsWaitForTheDisplayOnlyWhenAskedTo)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    SDL_Window* const previousWindow = SDL_GL_GetCurrentWindow();
    const SDL_GLContext previousContext = SDL_GL_GetCurrentContext();
    CWindow window;
    ASSERT_TRUE(window.Create("pacing", 0, 0, 64, 64, RecordingProcedure)) << SDL_GetError();
    window.CreateContext();
    EXPECT_EQ(SDL_GL_GetSwapInterval(), 0);
    window.PaceByDisplay(true);
    const int paced = SDL_GL_GetSwapInterval();
    EXPECT_TRUE(paced == -1 || paced == 1) << paced;
    window.PaceByDisplay(false);
    EXPECT_EQ(SDL_GL_GetSwapInterval(), 0);
    window.PaceByDisplay(true);
    EXPECT_EQ(SDL_GL_GetSwapInterval(), paced);
    window.SwapBuffers();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    if (previousContext != nullptr)
        SDL_GL_MakeCurrent(previousWindow, previousContext);
}
