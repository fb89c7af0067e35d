// SPDX-License-Identifier: MIT
// Hostile window events on the real program: a storm of resizes down to 1 x 1 with the window
// hidden, minimised and shown between them, and floods of mouse movement. The program must come
// out of each with a correct picture, no report, and a clean end.
#include "FaultRun.h"

#include <gtest/gtest.h>

#include <sstream>

namespace
{
using namespace std::chrono_literals;

constexpr int FinalWidth = 800;
constexpr int FinalHeight = 400;
// Where the window sits on the screen: xdotool moves the pointer in screen coordinates.
constexpr int WindowLeft = 100;
constexpr int WindowTop = 100;

// Mean of blue minus red along a row: high in the sky, low over terrain.
double Blueness(const Capture& capture, int y)
{
    double sum = 0.0;
    for (int x = 0; x < capture.width; ++x)
        sum += capture.Pixel(x, y)[2] - capture.Pixel(x, y)[0];
    return sum / capture.width;
}

// One xdotool invocation that resizes the window through every size in turn, each held for a
// frame or two, hiding it and showing it again, and minimising it, between them. X has no
// window of 0 x 0: that request is refused by the server and the chain goes on.
std::string ResizeStorm(unsigned long window)
{
    const std::string id = std::to_string(window);
    const int sizes[][2] = {{1, 1}, {0, 0}, {2, 1}, {1, 2}, {7, 3}, {640, 1}, {1, 480}, {3, 3}, {1, 1},
                            {1024, 768}, {5, 8}, {1, 1}, {320, 240}, {9, 1}, {1, 1}};
    std::ostringstream command;
    command << "xdotool";
    for (int round = 0; round < 4; ++round)
    {
        for (const auto& size : sizes)
            command << " windowsize " << id << ' ' << size[0] << ' ' << size[1] << " sleep 0.03";
        command << " windowunmap " << id << " windowsize " << id << " 1 1 windowmap " << id << " windowminimize "
                << id << " windowmap " << id;
    }
    command << " windowsize " << id << ' ' << FinalWidth << ' ' << FinalHeight;
    return command.str();
}

// One xdotool invocation with `count` pointer moves over the window, back and forth between two
// points, with `button` held down throughout when it is not 0.
std::string MouseFlood(int count, int button)
{
    std::ostringstream command;
    command << "xdotool mousemove " << WindowLeft + 320 << ' ' << WindowTop + 240;
    if (button != 0)
        command << " mousedown " << button;
    for (int move = 0; move < count; ++move)
        command << " mousemove " << WindowLeft + 300 + move % 2 * 40 << ' ' << WindowTop + 220 + move % 2 * 40;
    if (button != 0)
        command << " mouseup " << button;
    return command.str();
}

class FaultsWindowEvents : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(run.Launch()); }

    void ExpectCleanEnd()
    {
        EXPECT_TRUE(run.Reports().empty());
        EXPECT_EQ(run.Quit(), std::optional<int>(0));
    }

    FaultRun run;
};
}

TEST_F(FaultsWindowEvents, AStormOfResizesDownToOnePixelEndsWithTheSceneAtTheFinalSize)
{
    ASSERT_EQ(run.Session().Run(ResizeStorm(run.Window())), 0);
    ASSERT_GT(run.WaitForAnimation(30s).width, 0) << "no frames after the storm";
    run.LookAtTheHorizon();
    const Capture capture = run.WaitForAnimation(30s);
    ASSERT_EQ(capture.width, FinalWidth);
    ASSERT_EQ(capture.height, FinalHeight);
    EXPECT_GT(Blueness(capture, FinalHeight / 6), 10.0) << "no sky at the top of the window";
    EXPECT_GT(Blueness(capture, FinalHeight / 6) - Blueness(capture, FinalHeight - 20), 20.0)
        << "no water and terrain at the bottom of the window";
    if (HasFailure())
        capture.SavePng(::testing::TempDir() + "faults-resize-storm.png");
    ExpectCleanEnd();
}

// A drag that leaves the window over its top edge and ends outside: the pointer's position above
// the window must not come through as a y near 65535, which throws the eye tens of thousands of
// units up and out of the scene.
TEST_F(FaultsWindowEvents, ADragThatEndsAboveTheWindowLowersTheEyeAsFarAsItsEdge)
{
    ASSERT_GT(run.WaitForAnimation(30s).width, 0) << "no frames before the drag";
    std::ostringstream drag;
    drag << "xdotool mousemove " << WindowLeft + 320 << ' ' << WindowTop + 400 << " sleep 0.1 mousedown 1";
    for (int y = 300; y >= -90; y -= 30)
        drag << " sleep 0.03 mousemove " << WindowLeft + 320 << ' ' << WindowTop + y;
    drag << " sleep 0.1 mouseup 1";
    ASSERT_EQ(run.Session().Run(drag.str()), 0);
    const Capture capture = run.WaitForAnimation(30s);
    ASSERT_EQ(capture.width, 640);
    EXPECT_GT(Blueness(capture, 80) - Blueness(capture, 440), 20.0) << "no sky above water and terrain";
    if (HasFailure())
        capture.SavePng(::testing::TempDir() + "faults-drag-off-the-window.png");
    ExpectCleanEnd();
}

TEST_F(FaultsWindowEvents, FloodsOfMouseMovesAreDrainedAndFramesGoOn)
{
    for (int button : {0, 1, 3})
    {
        ASSERT_EQ(run.Session().Run(MouseFlood(3000, button)), 0);
        // The picture follows the camera rather than the waves: a flood that leaves the eye high
        // up sees only far water, which lies calm.
        EXPECT_TRUE(run.FollowsTheCamera()) << "no frames after a flood with button " << button;
    }
    ExpectCleanEnd();
}
