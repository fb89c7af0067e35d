// SPDX-License-Identifier: MIT
#include "app/FrameTimer.h"

#include <algorithm>

FrameTime FrameTimer::Next(std::chrono::steady_clock::time_point now)
{
    if (!started)
    {
        started = true;
        previous = now;
        return FrameTime{0.0, FirstStep};
    }
    const double measured = std::chrono::duration<double>(now - previous).count();
    const double step = fixedStep > 0.0 ? fixedStep : std::min(measured, LongestStep);
    previous = now;
    if (!momentHeld)
        sceneSeconds += step;
    return FrameTime{sceneSeconds, step};
}
