// SPDX-License-Identifier: MIT
// Times each stage of a frame, the GPU work included: glFinish closes every stage. Each stage is
// read on two clocks: the wall clock, and the processor time of the whole process, all its
// threads together.
#pragma once

#include "app/FrameStage.h"

#include <array>
#include <chrono>

// The stages as the benchmark reports them: the swap is counted with the composite.
constexpr std::array<const char*, 5> StageNames = {"reflection", "refraction", "main_scene", "hdr_chain",
                                                   "composite_swap"};
constexpr int ReportedStages = static_cast<int>(StageNames.size());
// One frame's milliseconds: each reported stage, then the whole frame.
constexpr int WholeFrame = ReportedStages;
using FrameTimes = std::array<double, ReportedStages + 1>;

// A renderer that draws on the processor (llvmpipe) does the frame's work in the process's own
// threads, so their processor time is that work, whether the machine's cores are free or shared
// with other programs; the wall clock also counts the time its threads wait for a core. A GPU
// does the work outside the process: there only the wall clock sees it.
enum class FrameClock
{
    Wall,
    Processor,
};

struct FrameSample
{
    FrameTimes wall{};
    FrameTimes processor{};

    const FrameTimes& On(FrameClock clock) const { return clock == FrameClock::Wall ? wall : processor; }
};

class StageTimer : public IFrameObserver
{
public:
    void BeginFrame();
    void StageFinished(FrameStage stage) override;
    // The frame since BeginFrame, up to the end of its last stage.
    FrameSample EndFrame() const;

private:
    struct Instant
    {
        std::chrono::steady_clock::time_point wall;
        double processorMs = 0.0;
    };

    static Instant Now();

    FrameSample current;
    Instant frameStart, last;
};
