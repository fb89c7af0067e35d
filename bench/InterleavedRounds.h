// SPDX-License-Identifier: MIT
// Interleaved measurement: every round renders a few frames of each view of the tour, starting one
// view further along each round, and after every frame of a view one speed-of-light frame. A view
// and the frames it is compared with are then never more than a frame apart, so that a change in
// the machine's load falls on both alike and a ratio taken between them cancels it.
#pragma once

#include "StageTimer.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Something the benchmark renders: its frame function reports each stage to the timer.
struct BenchEntry
{
    std::string name;
    std::function<void(StageTimer&)> renderFrame;
};

struct RoundsPlan
{
    int warmupRounds = 3;  // rounds like the others before them; only their GL errors count
    int rounds = 12;
    int framesPerRound = 3;  // per view and round, each followed by a speed-of-light frame
};

// What the rounds recorded for one entry: its frames round after round, framesPerRound each for a
// view, and for the speed-of-light frame those that followed every view's.
struct EntryRecord
{
    std::string name;
    std::vector<FrameSample> frames;
    // A view's: the speed-of-light frame that followed each of its frames, in the same order.
    std::vector<FrameSample> referenceFrames;
    std::uint64_t allocations = 0;  // all threads
    std::uint64_t cplusplusAllocations = 0;
    int glErrors = 0;  // over the warm-up rounds too
};

struct RoundsRecord
{
    RoundsPlan plan;
    std::vector<EntryRecord> entries;  // in the order of the entries given
    long residentGrowthKiB = 0;  // over all rounds, after the warm-up
    bool stopped = false;  // by `stopRequested`, before the last frame
};

// The last entry is the speed-of-light frame; all before it are views. `stopRequested` is asked
// before every view's frame.
RoundsRecord RunInterleavedRounds(const std::vector<BenchEntry>& entries, const RoundsPlan& plan,
                                  bool (*stopRequested)());
