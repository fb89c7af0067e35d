// SPDX-License-Identifier: MIT
#include "InterleavedRounds.h"

#include "AllocationCounter.h"

#include <epoxy/gl.h>
#include <unistd.h>

#include <cstdio>

namespace
{
// Drains the GL error flags; a correct frame leaves none.
int TakeGlErrors()
{
    int errors = 0;
    while (glGetError() != GL_NO_ERROR)
        ++errors;
    return errors;
}

long ResidentKiB()
{
    long pages = 0, resident = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr)
        return 0;
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
        resident = 0;
    std::fclose(statm);
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

enum class RoundKind
{
    Warmup,
    Measured,
};

// Renders one frame of an entry: its GL errors go into the record always, its times and
// allocations only when the round is measured. The record has room for the frame: nothing here
// allocates, so the counts taken around it are the frame's.
FrameSample RenderFrame(const BenchEntry& entry, RoundKind kind, EntryRecord& record)
{
    StageTimer timer;
    const AllocationCount before = CountAllocations();
    timer.BeginFrame();
    entry.renderFrame(timer);
    const FrameSample sample = timer.EndFrame();
    const AllocationCount after = CountAllocations();
    record.glErrors += TakeGlErrors();
    if (kind == RoundKind::Measured)
    {
        record.frames.push_back(sample);
        record.allocations += after.all - before.all;
        record.cplusplusAllocations += after.cplusplus - before.cplusplus;
    }
    return sample;
}

// Round `round` renders the views from the one at index round (modulo their count) onwards, each
// of their frames followed by one of the reference, the last entry. False when told to stop.
bool RenderRound(const std::vector<BenchEntry>& entries, int round, int frames, RoundKind kind,
                 std::vector<EntryRecord>& records, bool (*stopRequested)())
{
    const size_t views = entries.size() - 1;
    for (size_t step = 0; step < views; ++step)
    {
        const size_t index = (static_cast<size_t>(round) + step) % views;
        for (int i = 0; i < frames; ++i)
        {
            if (stopRequested())
                return false;
            RenderFrame(entries[index], kind, records[index]);
            const FrameSample reference = RenderFrame(entries.back(), kind, records.back());
            if (kind == RoundKind::Measured)
                records[index].referenceFrames.push_back(reference);
        }
    }
    return true;
}
}

RoundsRecord RunInterleavedRounds(const std::vector<BenchEntry>& entries, const RoundsPlan& plan,
                                  bool (*stopRequested)())
{
    RoundsRecord record{plan, {}, 0, false};
    const size_t frames = static_cast<size_t>(plan.rounds) * plan.framesPerRound;
    for (const BenchEntry& entry : entries)
    {
        record.entries.push_back(EntryRecord{entry.name, {}, {}, 0, 0, 0});
        record.entries.back().frames.reserve(frames);
        record.entries.back().referenceFrames.reserve(frames);
    }
    record.entries.back().frames.reserve(frames * (entries.size() - 1));
    // Resident memory settles over the first few rounds after start-up (the driver's pools and the
    // C library's heap), so the warm-up is made of whole rounds. A view's first frames count for
    // GL errors like all others.
    TakeGlErrors();
    for (int round = 0; round < plan.warmupRounds && !record.stopped; ++round)
        record.stopped = !RenderRound(entries, round, plan.framesPerRound, RoundKind::Warmup, record.entries,
                                      stopRequested);
    const long residentBefore = ResidentKiB();
    for (int round = 0; round < plan.rounds && !record.stopped; ++round)
        record.stopped = !RenderRound(entries, round, plan.framesPerRound, RoundKind::Measured, record.entries,
                                      stopRequested);
    record.residentGrowthKiB = ResidentKiB() - residentBefore;
    return record;
}
