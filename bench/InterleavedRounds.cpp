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

// Renders one entry's frames of a round, and records them where a record is given. The record
// has room for them: nothing here allocates, so the counts taken around the frames are theirs.
void RenderBlock(const BenchEntry& entry, int frames, EntryRecord* record)
{
    StageTimer timer;
    const AllocationCount before = CountAllocations();
    for (int i = 0; i < frames; ++i)
    {
        timer.BeginFrame();
        entry.renderFrame(timer);
        const int glErrors = TakeGlErrors();
        if (record == nullptr)
            continue;
        record->frames.push_back(timer.EndFrame());
        record->glErrors += glErrors;
    }
    const AllocationCount after = CountAllocations();
    if (record == nullptr)
        return;
    record->allocations += after.all - before.all;
    record->cplusplusAllocations += after.cplusplus - before.cplusplus;
}

// Round `round` renders the entries from the one at index round (modulo their count) onwards.
void RenderRound(const std::vector<BenchEntry>& entries, int round, int frames, std::vector<EntryRecord>* records)
{
    const size_t count = entries.size();
    for (size_t step = 0; step < count; ++step)
    {
        const size_t index = (static_cast<size_t>(round) + step) % count;
        RenderBlock(entries[index], frames, records ? &(*records)[index] : nullptr);
    }
}
}

RoundsRecord RunInterleavedRounds(const std::vector<BenchEntry>& entries, const RoundsPlan& plan)
{
    RoundsRecord record{plan, {}, 0};
    for (const BenchEntry& entry : entries)
    {
        record.entries.push_back(EntryRecord{entry.name, {}, 0, 0, 0});
        record.entries.back().frames.reserve(static_cast<size_t>(plan.rounds) * plan.framesPerRound);
    }
    // Resident memory settles over the first few rounds after start-up (the driver's pools and the
    // C library's heap), so the warm-up is made of whole rounds.
    for (int round = 0; round < plan.warmupRounds; ++round)
        RenderRound(entries, round, plan.framesPerRound, nullptr);
    TakeGlErrors();
    const long residentBefore = ResidentKiB();
    for (int round = 0; round < plan.rounds; ++round)
        RenderRound(entries, round, plan.framesPerRound, &record.entries);
    record.residentGrowthKiB = ResidentKiB() - residentBefore;
    return record;
}
