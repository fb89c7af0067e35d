// Times each stage of a frame, the GPU work included: glFinish closes every stage.
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

class StageTimer : public IFrameObserver
{
public:
    void BeginFrame();
    void StageFinished(FrameStage stage) override;
    // The frame since BeginFrame, up to the end of its last stage.
    FrameTimes EndFrame() const;

private:
    using Clock = std::chrono::steady_clock;

    FrameTimes current{};
    Clock::time_point frameStart, last;
};
