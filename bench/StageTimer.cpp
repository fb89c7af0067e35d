// SPDX-License-Identifier: MIT
#include "StageTimer.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <ctime>

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

StageTimer::Instant StageTimer::Now()
{
    timespec processor{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &processor);
    return Instant{std::chrono::steady_clock::now(), processor.tv_sec * 1000.0 + processor.tv_nsec / 1.0e6};
}

void StageTimer::BeginFrame()
{
    glFinish();
    frameStart = last = Now();
    current = FrameSample();
}

void StageTimer::StageFinished(FrameStage stage)
{
    glFinish();
    const Instant now = Now();
    const int column = ReportedStage(stage);
    current.wall[column] += Milliseconds(now.wall - last.wall);
    current.processor[column] += now.processorMs - last.processorMs;
    last = now;
}

FrameSample StageTimer::EndFrame() const
{
    FrameSample frame = current;
    frame.wall[WholeFrame] = Milliseconds(last.wall - frameStart.wall);
    frame.processor[WholeFrame] = last.processorMs - frameStart.processorMs;
    return frame;
}
