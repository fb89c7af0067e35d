// SPDX-License-Identifier: MIT
// The benchmark's figures, summarised from the interleaved rounds, as a table for people and
// one JSON line for scripts.
#pragma once

#include "InterleavedRounds.h"
#include "app/RenderTargetSizes.h"
#include "Statistics.h"

#include <array>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

constexpr int TimedColumns = ReportedStages + 1;

struct EntryFigures
{
    std::string name;
    int rounds = 0;
    int frames = 0;
    // Milliseconds per stage and for the whole frame, over all the entry's frames: on the wall
    // clock, and in processor time of all the process's threads.
    std::array<double, TimedColumns> medianMs{};
    std::array<double, TimedColumns> p90Ms{};
    std::array<double, TimedColumns> processorMs{};
    // Per stage and whole frame, on the ratio clock: in each round, the entry's median over the
    // median of the speed-of-light frames that followed its frames; then the spread of those
    // ratios over the rounds.
    std::array<Spread, TimedColumns> ratio{};
    // The whole frame's ratio the same way on each clock, indexed by FrameClock, for comparison.
    std::array<Spread, 2> frameRatioOn{};
    double allocationsPerFrame = 0.0;
    double newPerFrame = 0.0;
    int glErrors = 0;
};

struct BenchFigures
{
    RoundsPlan plan;
    FrameClock ratioClock = FrameClock::Wall;
    std::vector<EntryFigures> views;
    EntryFigures speedOfLight;
    std::size_t worstView = 0;  // the highest frame ratio
    std::size_t medianView = 0;  // the middle one by frame ratio (the higher of two middles)
    long residentGrowthKiB = 0;
};

// The rounds' last entry is the speed-of-light frame; all before it are views. The ratios are
// taken on ratioClock.
BenchFigures Summarise(const RoundsRecord& record, FrameClock ratioClock);

// What the run knows beside the frames.
struct RunFacts
{
    int width = 0;
    int height = 0;
    std::string renderSize = "specified";
    RenderTargetSizes targets{};  // as the first picture's frames used them, and the speed-of-light frame
    // Each picture drawn, with the sizes its frames used, in the order given.
    std::vector<std::pair<std::string, RenderTargetSizes>> pictureTargets;
    std::string renderer;
    double toInitSceneMs = 0.0;
    double toFirstFrameMs = 0.0;
    long peakResidentKiB = 0;
    double loadBefore = 0.0;  // the machine's one-minute load average before the rounds
    double loadAfter = 0.0;  // and after them
    std::size_t messageBoxes = 0;
    bool inspectorOpen = false;  // the views drawn with the inspector over them
    std::string scheduling;  // the class the run was in: "realtime" or "normal"
    std::string schedulingRefusal;  // why the real-time class was refused; empty when it was not
};

void PrintTable(const BenchFigures& figures, const RunFacts& facts);
void PrintJson(const BenchFigures& figures, const RunFacts& facts);

// With each view drawn in several pictures (its entries consecutive, `pictures` of them, the first
// the one the others are set beside): each picture's frame beside the first's, on both clocks, and
// their ratio, the quotient of the two frames' ratios to the speed-of-light frames drawn beside
// them, on the ratio clock; a table and one JSON line.
void PrintPictureCost(const BenchFigures& figures, std::size_t pictures);

// The whole frame at one window size, as the tour's views took it on average.
struct SizeFigures
{
    int width = 0;
    int height = 0;
    double frameMs = 0.0;  // wall clock
    double frameProcessorMs = 0.0;
};

SizeFigures FrameAtSize(const BenchFigures& figures, int width, int height);
// The frame's cost at each size against the first, beside the growth of the pixel count; a table
// and one JSON line.
void PrintScaling(const std::vector<SizeFigures>& sizes, const std::string& renderer);
