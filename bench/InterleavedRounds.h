// Interleaved measurement: every round renders a few frames of each entry (the tour's views and
// the speed-of-light frame), starting one entry further along each round, so that a change in the
// machine's load falls on all of them alike and a ratio taken within one round cancels it.
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
    int framesPerRound = 3;  // per entry and round
};

// What the rounds recorded for one entry: its frames round after round, framesPerRound each.
struct EntryRecord
{
    std::string name;
    std::vector<FrameSample> frames;
    std::uint64_t allocations = 0;  // all threads
    std::uint64_t cplusplusAllocations = 0;
    int glErrors = 0;  // over the warm-up rounds too
};

struct RoundsRecord
{
    RoundsPlan plan;
    std::vector<EntryRecord> entries;  // in the order of the entries given
    long residentGrowthKiB = 0;  // over all rounds, after the warm-up
};

RoundsRecord RunInterleavedRounds(const std::vector<BenchEntry>& entries, const RoundsPlan& plan);
