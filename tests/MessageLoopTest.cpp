#include "app/MessageLoop.h"
#include "platform/CWindow.h"
#include "platform/QuitMessage.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include <deque>
#include <string>

namespace
{
// A message source that plays a script: each peek either finds the next scripted message or,
// for an 'idle' entry, finds none. The trace records what the loop did in order.
std::string trace;

struct ScriptedSource : IMessageSource
{
    std::deque<Message> script;  // message 0 stands for an empty queue on that peek

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
        message = next;
        return true;
    }
};

LRESULT RecordingProcedure(std::uint32_t message, WPARAM, LPARAM)
{
    trace += message == WM_MOUSEMOVE ? "m" : "?";
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

int RunScript(ScriptedSource& source)
{
    trace.clear();
    return RunMessageLoop(source, RecordingProcedure, RecordFrame);
}
}

TEST(MessageLoop, NoFrameWhileMessagesWaitAndFramesResumeAtOnce)
{
    ScriptedSource source;
    source.script = {Move(), Move(), Move(), Idle(), Idle(), Move(), Idle(), Message{WM_CLOSE, 0, 0}};
    EXPECT_EQ(RunScript(source), 0);
    EXPECT_EQ(trace, "mmmFFmF?");
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
