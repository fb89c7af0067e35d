#include "StageTimer.h"

#include <epoxy/gl.h>

#include <algorithm>

namespace
{
int ReportedStage(FrameStage stage)
{
    return std::min(static_cast<int>(stage), ReportedStages - 1);
}

double Milliseconds(std::chrono::steady_clock::duration duration)
{
    return std::chrono::duration<double, std::milli>(duration).count();
}
}

void StageTimer::BeginFrame()
{
    glFinish();
    frameStart = last = Clock::now();
    current.fill(0.0);
}

void StageTimer::StageFinished(FrameStage stage)
{
    glFinish();
    const auto now = Clock::now();
    current[ReportedStage(stage)] += Milliseconds(now - last);
    last = now;
}

FrameTimes StageTimer::EndFrame() const
{
    FrameTimes frame = current;
    frame[WholeFrame] = Milliseconds(last - frameStart);
    return frame;
}
