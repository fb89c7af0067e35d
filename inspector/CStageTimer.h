// SPDX-License-Identifier: MIT
// GPU times of the frame's stages from timer queries (GL_ARB_timer_query): a timestamp when the
// frame starts and one as each stage up to the composite has been issued. The results are read
// a few frames later from a small ring, so that waiting for them never stalls a frame; a slot
// whose results are not in yet is skipped.
#pragma once

#include "app/FrameStage.h"

#include <epoxy/gl.h>

class CStageTimer : public IFrameObserver
{
public:
    // The stages that are timed: reflection, refraction, main scene, HDR chain, composite.
    static constexpr int StageCount = 5;
    static const char* const StageNames[StageCount];

    // False where the driver has no timer queries; then the timer makes no GL call at all.
    bool Available();
    // Records the frame's start; the first call makes the queries.
    void BeginFrame();
    void StageFinished(FrameStage stage) override;
    // Releases the queries.
    void Release();

    // The last complete frame's stage times in milliseconds; 0 until one has been read.
    const double* StageMilliseconds() const { return milliseconds; }

private:
    static constexpr int RingSize = 4;
    static constexpr int StampsPerFrame = StageCount + 1;

    void ReadSlot(int slot);

    int availability = -1;  // unknown until asked
    bool created = false;
    int slot = 0;
    bool issued[RingSize] = {};
    GLuint queries[RingSize][StampsPerFrame] = {};
    double milliseconds[StageCount] = {};
};
