// SPDX-License-Identifier: MIT
// The time each frame stands for, so that motion follows the clock and not the frame count: on
// the steady clock in the program, in fixed steps in the tools that render a given moment.
#pragma once

#include <chrono>

struct FrameTime
{
    // Time since the first frame: the moment the frame shows.
    double sceneSeconds;
    // Time since the frame before, over which the frame's gradual changes (the eye's adaptation)
    // advance.
    double stepSeconds;
};

class FrameTimer
{
public:
    // One stalled frame (a drag held in the window manager, a resume from minimised) moves the
    // scene on by at most this much, not by the whole stall.
    static constexpr double LongestStep = 0.25;
    // The first frame has no frame before it: it steps as one frame at 60 Hz, whatever the rate
    // that follows, so the same moment is reached alike at any rate.
    static constexpr double FirstStep = 1.0 / 60.0;

    // The time of the frame that begins now.
    FrameTime Next() { return Next(std::chrono::steady_clock::now()); }
    FrameTime Next(std::chrono::steady_clock::time_point now);

    // From now on every frame after the first steps by `seconds`, whatever the clock says.
    void UseFixedStep(double seconds) { fixedStep = seconds; }

    // From now on the moment stays where it is while the steps still pass: the water holds still
    // and the eye goes on adapting, for a measurement in which only the camera moves.
    void HoldMoment() { momentHeld = true; }

private:
    bool started = false;
    std::chrono::steady_clock::time_point previous;
    double sceneSeconds = 0.0;
    double fixedStep = 0.0;  // 0: the clock's
    bool momentHeld = false;
};
