// SPDX-License-Identifier: MIT
// The inspector's frames per second and frame-time graph, from the durations of the last frames.
#include "inspector/CFrameHistory.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
struct FrameRun
{
    int frames;
    float milliseconds;
};

CFrameHistory After(const std::vector<FrameRun>& runs)
{
    CFrameHistory history;
    for (const FrameRun& frameRun : runs)
        for (int i = 0; i < frameRun.frames; ++i)
            history.Add(frameRun.milliseconds);
    return history;
}
}

// Only the newest second counts: frames before it no longer weigh on the figure.
TEST(CFrameHistory, FramesPerSecondCountTheNewestSecondOfFrames)
{
    const struct
    {
        std::vector<FrameRun> runs;
        double framesPerSecond;
    } cases[] = {
        {{}, 0.0},
        {{{10, 100.0f}}, 10.0},
        {{{3, 250.0f}}, 4.0},
        {{{100, 20.0f}, {5, 200.0f}}, 5.0},
        {{{5, 200.0f}, {50, 20.0f}}, 50.0},
        {{{400, 10.0f}}, 100.0},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(After(c.runs).FramesPerSecond(), c.framesPerSecond, 1e-9) << c.runs.size() << " runs";
}

// Once the ring is full the graph starts at the oldest frame kept, the one after the newest.
TEST(CFrameHistory, TheGraphRunsFromTheOldestFrameKeptToTheNewest)
{
    CFrameHistory history;
    for (int i = 0; i < CFrameHistory::Capacity + 10; ++i)
        history.Add(static_cast<float>(i));
    ASSERT_EQ(history.Count(), CFrameHistory::Capacity);
    EXPECT_EQ(history.Values()[history.Offset()], 10.0f);
    EXPECT_EQ(history.Values()[(history.Offset() + CFrameHistory::Capacity - 1) % CFrameHistory::Capacity],
              static_cast<float>(CFrameHistory::Capacity + 9));
    CFrameHistory young;
    young.Add(7.0f);
    EXPECT_EQ(young.Values()[young.Offset()], 7.0f);
}
