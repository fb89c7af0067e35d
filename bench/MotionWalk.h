// SPDX-License-Identifier: MIT
// One walk of the motion measurement: a tour view's eye stepped sideways, as the arrow keys step
// it, a fixed distance a frame, with the water's moment held still so that only the camera moves.
// Each walk is drawn in a process of its own, at its own window size and settings.
#pragma once

#include "MotionComparison.h"
#include "OffscreenScene.h"

#include "platform/DisplaySettings.h"

#include <vector>

// Units a frame, perpendicular to the view and level, to the right of it.
constexpr float WalkStep = 0.2f;

struct WalkPlan
{
    SceneCamera start;
    int steps = 5;  // steps + 1 frames
    int width = 640;
    int height = 480;
    RenderSize renderSize = RenderSize::Specified;
    Picture picture = Picture::Specified;
    int factor = 1;  // each frame is averaged down by this
};

// The walk's frames, averaged down, in `frames`; the status of the process that drew them: 0, 1
// where the scene could not be had or showed a message box, 4 where it was stopped by a signal.
int DrawWalk(const WalkPlan& plan, std::vector<MotionFrame>& frames);
