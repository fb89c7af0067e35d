// SPDX-License-Identifier: MIT
#include "BenchReport.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <numeric>

namespace
{
const char* ColumnName(int column)
{
    return column < ReportedStages ? StageNames[column] : "frame";
}

int ColumnWidth(int column)
{
    return std::max(10, static_cast<int>(std::strlen(ColumnName(column))));
}

std::vector<double> Column(const std::vector<FrameSample>& frames, std::size_t first, std::size_t end,
                           FrameClock clock, int column)
{
    std::vector<double> values;
    for (std::size_t i = first; i < end; ++i)
        values.push_back(frames[i].On(clock)[column]);
    return values;
}

// The median of one round's share of the frames, which hold the same number for every round.
double RoundMedian(const std::vector<FrameSample>& frames, int round, int rounds, FrameClock clock, int column)
{
    const std::size_t perRound = frames.size() / static_cast<std::size_t>(rounds);
    const std::size_t first = static_cast<std::size_t>(round) * perRound;
    return Quantile(Column(frames, first, first + perRound, clock, column), 0.5);
}

// A view's frames of each round over the speed-of-light frames that followed them; the
// speed-of-light frame's own entry, which has none, comes out at 1.
Spread RatioOverRounds(const EntryRecord& entry, int rounds, FrameClock clock, int column)
{
    const std::vector<FrameSample>& reference = entry.referenceFrames.empty() ? entry.frames : entry.referenceFrames;
    std::vector<double> ratios;
    for (int round = 0; round < rounds; ++round)
        ratios.push_back(RoundMedian(entry.frames, round, rounds, clock, column) /
                         RoundMedian(reference, round, rounds, clock, column));
    return SpreadOf(ratios);
}

EntryFigures Figures(const EntryRecord& entry, const RoundsPlan& plan, FrameClock ratioClock)
{
    EntryFigures figures;
    figures.name = entry.name;
    figures.rounds = plan.rounds;
    figures.frames = static_cast<int>(entry.frames.size());
    const std::size_t count = entry.frames.size();
    for (int column = 0; column < TimedColumns; ++column)
    {
        const std::vector<double> wall = Column(entry.frames, 0, count, FrameClock::Wall, column);
        figures.medianMs[column] = Quantile(wall, 0.5);
        figures.p90Ms[column] = Quantile(wall, 0.9);
        figures.processorMs[column] = Quantile(Column(entry.frames, 0, count, FrameClock::Processor, column), 0.5);
        figures.ratio[column] = RatioOverRounds(entry, plan.rounds, ratioClock, column);
    }
    for (FrameClock clock : {FrameClock::Wall, FrameClock::Processor})
        figures.frameRatioOn[static_cast<int>(clock)] = RatioOverRounds(entry, plan.rounds, clock, WholeFrame);
    const double frames = std::max(figures.frames, 1);
    figures.allocationsPerFrame = static_cast<double>(entry.allocations) / frames;
    figures.newPerFrame = static_cast<double>(entry.cplusplusAllocations) / frames;
    figures.glErrors = entry.glErrors;
    return figures;
}

double FrameRatio(const EntryFigures& figures)
{
    return figures.ratio[WholeFrame].median;
}

void PrintRatio(const Spread& ratio)
{
    std::printf(" %5.2f (%4.2f-%4.2f)", ratio.median, ratio.lowerQuartile, ratio.upperQuartile);
}

const char* ClockName(FrameClock clock)
{
    return clock == FrameClock::Wall ? "wall" : "processor";
}

using TimesOf = std::array<double, TimedColumns> EntryFigures::*;

// The speed-of-light frame is the ratio's reference and has no ratio of its own.
enum class RatioColumn
{
    Shown,
    Empty,
};

void PrintTimeRow(const EntryFigures& entry, TimesOf times, FrameClock clock, RatioColumn ratio)
{
    std::printf("%-18s", entry.name.c_str());
    for (int column = 0; column < TimedColumns; ++column)
        std::printf(" %*.2f", ColumnWidth(column), (entry.*times)[column]);
    if (ratio == RatioColumn::Shown)
        PrintRatio(entry.frameRatioOn[static_cast<int>(clock)]);
    std::printf("\n");
}

void PrintTimes(const BenchFigures& figures, TimesOf times, FrameClock clock)
{
    std::printf("%-18s", (std::string(ClockName(clock)) + " ms").c_str());
    for (int column = 0; column < TimedColumns; ++column)
        std::printf(" %*s", ColumnWidth(column), ColumnName(column));
    std::printf("   frame / s.o.l. (IQR)%s\n", clock == figures.ratioClock ? ", the ratio clock" : "");
    for (const EntryFigures& view : figures.views)
        PrintTimeRow(view, times, clock, RatioColumn::Shown);
    PrintTimeRow(figures.speedOfLight, times, clock, RatioColumn::Empty);
}

void PrintStageRatios(const BenchFigures& figures)
{
    std::printf("%-18s", ClockName(figures.ratioClock));
    std::printf("\n%-18s", "stage / s.o.l.");
    for (int column = 0; column < ReportedStages; ++column)
        std::printf(" %16.16s", ColumnName(column));
    std::printf("\n");
    for (const EntryFigures& view : figures.views)
    {
        std::printf("%-18s", view.name.c_str());
        for (int column = 0; column < ReportedStages; ++column)
            PrintRatio(view.ratio[column]);
        std::printf("\n");
    }
}

void PrintHealth(const BenchFigures& figures)
{
    std::printf("%-18s %9s %10s %17s %9s\n", "per view", "p90 ms", "frames/s", "allocations/frame", "new/frame");
    const auto row = [](const EntryFigures& entry) {
        std::printf("%-18s %9.2f %10.1f %17.1f %9.2f   GL errors %d\n", entry.name.c_str(), entry.p90Ms[WholeFrame],
                    1000.0 / entry.medianMs[WholeFrame], entry.allocationsPerFrame, entry.newPerFrame,
                    entry.glErrors);
    };
    for (const EntryFigures& view : figures.views)
        row(view);
    row(figures.speedOfLight);
}

void PrintJsonEntry(const EntryFigures& entry)
{
    std::printf("{\"name\":\"%s\",\"rounds\":%d,\"frames\":%d,\"stages\":{", entry.name.c_str(), entry.rounds,
                entry.frames);
    for (int column = 0; column < TimedColumns; ++column)
    {
        const Spread& ratio = entry.ratio[column];
        std::printf("%s\"%s\":{\"median_ms\":%.4f,\"p90_ms\":%.4f,\"processor_ms\":%.4f,\"ratio\":%.4f,"
                    "\"ratio_q1\":%.4f,\"ratio_q3\":%.4f}",
                    column ? "," : "", ColumnName(column), entry.medianMs[column], entry.p90Ms[column],
                    entry.processorMs[column], ratio.median, ratio.lowerQuartile, ratio.upperQuartile);
    }
    std::printf("},\"frame_ratio_wall\":%.4f,\"frame_ratio_processor\":%.4f",
                entry.frameRatioOn[static_cast<int>(FrameClock::Wall)].median,
                entry.frameRatioOn[static_cast<int>(FrameClock::Processor)].median);
    std::printf(",\"fps\":%.2f,\"allocations_per_frame\":%.3f,\"new_per_frame\":%.3f,\"gl_errors\":%d}",
                1000.0 / entry.medianMs[WholeFrame], entry.allocationsPerFrame, entry.newPerFrame, entry.glErrors);
}

void PrintJsonPick(const char* key, const EntryFigures& view)
{
    const Spread& ratio = view.ratio[WholeFrame];
    std::printf("\"%s\":{\"name\":\"%s\",\"ratio\":%.4f,\"ratio_q1\":%.4f,\"ratio_q3\":%.4f},", key,
                view.name.c_str(), ratio.median, ratio.lowerQuartile, ratio.upperQuartile);
}
}

BenchFigures Summarise(const RoundsRecord& record, FrameClock ratioClock)
{
    BenchFigures figures;
    figures.plan = record.plan;
    figures.ratioClock = ratioClock;
    figures.residentGrowthKiB = record.residentGrowthKiB;
    for (std::size_t i = 0; i + 1 < record.entries.size(); ++i)
        figures.views.push_back(Figures(record.entries[i], record.plan, ratioClock));
    figures.speedOfLight = Figures(record.entries.back(), record.plan, ratioClock);

    std::vector<std::size_t> byRatio(figures.views.size());
    std::iota(byRatio.begin(), byRatio.end(), 0);
    std::sort(byRatio.begin(), byRatio.end(), [&](std::size_t a, std::size_t b) {
        return FrameRatio(figures.views[a]) < FrameRatio(figures.views[b]);
    });
    if (!byRatio.empty())
    {
        figures.worstView = byRatio.back();
        figures.medianView = byRatio[byRatio.size() / 2];
    }
    return figures;
}

void PrintTable(const BenchFigures& figures, const RunFacts& facts)
{
    const RoundsPlan& plan = figures.plan;
    const std::string refusal =
        facts.schedulingRefusal.empty() ? "" : " (real-time scheduling refused: " + facts.schedulingRefusal + ")";
    std::printf("Merrowind frame benchmark: %d x %d, %s, inspector %s, scheduling %s%s\n", facts.width, facts.height,
                facts.renderer.c_str(), facts.inspectorOpen ? "open" : "closed", facts.scheduling.c_str(),
                refusal.c_str());
    // The speed-of-light frame keeps the first picture's sizes; another picture may draw at others.
    const std::string whose = facts.pictureTargets.size() > 1
                                  ? " (picture " + facts.pictureTargets[0].first + ", and the speed-of-light frame)"
                                  : "";
    std::printf("render size %s: scene target %d x %d, water images %d x %d%s\n", facts.renderSize.c_str(),
                facts.targets.sceneWidth, facts.targets.sceneHeight, facts.targets.waterSize, facts.targets.waterSize,
                whose.c_str());
    for (std::size_t i = 1; i < facts.pictureTargets.size(); ++i)
    {
        const auto& [picture, targets] = facts.pictureTargets[i];
        std::printf("  picture %s: scene target %d x %d, water images %d x %d\n", picture.c_str(), targets.sceneWidth,
                    targets.sceneHeight, targets.waterSize, targets.waterSize);
    }
    std::printf("%zu tour views and the speed-of-light frame, interleaved: each round renders %d frame(s) of every "
                "view,\nstarting one further along than the round before, each followed by a speed-of-light frame;\n"
                "%d warm-up round(s), then %d measured. Times: medians over each view's %d measured frames (the\n"
                "speed-of-light frame's %d), on the wall clock and in processor time of all the process's threads.\n"
                "Ratios: per round, a view's median over the median of the speed-of-light frames that followed\n"
                "its frames; then the median and interquartile range of those over %d rounds; on the %s clock.\n\n",
                figures.views.size(), plan.framesPerRound, plan.warmupRounds, plan.rounds,
                plan.rounds * plan.framesPerRound, figures.speedOfLight.frames, plan.rounds,
                ClockName(figures.ratioClock));
    PrintTimes(figures, &EntryFigures::medianMs, FrameClock::Wall);
    std::printf("\n");
    PrintTimes(figures, &EntryFigures::processorMs, FrameClock::Processor);
    std::printf("\n");
    PrintStageRatios(figures);
    std::printf("\n");
    PrintHealth(figures);
    if (!figures.views.empty())
    {
        const EntryFigures& worst = figures.views[figures.worstView];
        const EntryFigures& middle = figures.views[figures.medianView];
        std::printf("\nframe / speed-of-light frame, %s clock: worst view %s %.2f (IQR %.2f-%.2f), median view %s %.2f "
                    "(IQR %.2f-%.2f)\n",
                    ClockName(figures.ratioClock), worst.name.c_str(), FrameRatio(worst), worst.ratio[WholeFrame].lowerQuartile,
                    worst.ratio[WholeFrame].upperQuartile, middle.name.c_str(), FrameRatio(middle),
                    middle.ratio[WholeFrame].lowerQuartile, middle.ratio[WholeFrame].upperQuartile);
    }
    std::printf("resident memory growth over the rounds: %ld KiB\n", figures.residentGrowthKiB);
    std::printf("start-up: %.1f ms to the end of InitScene, %.1f ms to the first presented frame\n",
                facts.toInitSceneMs, facts.toFirstFrameMs);
    std::printf("peak resident memory: %ld KiB\n", facts.peakResidentKiB);
    std::printf("load average of the machine: %.2f before the rounds, %.2f after them\n",
                facts.loadBefore, facts.loadAfter);
}

void PrintJson(const BenchFigures& figures, const RunFacts& facts)
{
    const RoundsPlan& plan = figures.plan;
    std::printf("{\"width\":%d,\"height\":%d,\"render_size\":\"%s\",\"scene_width\":%d,\"scene_height\":%d,"
                "\"water_size\":%d,\"renderer\":\"%s\",\"ratio_clock\":\"%s\",\"inspector\":\"%s\","
                "\"scheduling\":\"%s\",\"scheduling_refused\":\"%s\",\"warmup_rounds\":%d,\"rounds\":%d,"
                "\"frames_per_round\":%d,\"views\":[",
                facts.width, facts.height, facts.renderSize.c_str(), facts.targets.sceneWidth,
                facts.targets.sceneHeight, facts.targets.waterSize, facts.renderer.c_str(),
                ClockName(figures.ratioClock),
                facts.inspectorOpen ? "open" : "closed", facts.scheduling.c_str(), facts.schedulingRefusal.c_str(),
                plan.warmupRounds, plan.rounds, plan.framesPerRound);
    for (std::size_t i = 0; i < figures.views.size(); ++i)
    {
        std::printf(i ? "," : "");
        PrintJsonEntry(figures.views[i]);
    }
    std::printf("],\"speed_of_light\":");
    PrintJsonEntry(figures.speedOfLight);
    std::printf(",");
    if (!figures.views.empty())
    {
        PrintJsonPick("worst_view", figures.views[figures.worstView]);
        PrintJsonPick("median_view", figures.views[figures.medianView]);
    }
    std::printf("\"rss_growth_kib\":%ld,\"startup_init_scene_ms\":%.1f,\"startup_first_frame_ms\":%.1f,"
                "\"peak_rss_kib\":%ld,\"load_before\":%.2f,\"load_after\":%.2f,\"message_boxes\":%zu}\n",
                figures.residentGrowthKiB, facts.toInitSceneMs, facts.toFirstFrameMs, facts.peakResidentKiB,
                facts.loadBefore, facts.loadAfter, facts.messageBoxes);
}

SizeFigures FrameAtSize(const BenchFigures& figures, int width, int height)
{
    SizeFigures size{width, height};
    for (const EntryFigures& view : figures.views)
    {
        size.frameMs += view.medianMs[WholeFrame] / static_cast<double>(figures.views.size());
        size.frameProcessorMs += view.processorMs[WholeFrame] / static_cast<double>(figures.views.size());
    }
    return size;
}

void PrintScaling(const std::vector<SizeFigures>& sizes, const std::string& renderer)
{
    if (sizes.empty())
        return;
    const SizeFigures& first = sizes.front();
    const double firstPixels = static_cast<double>(first.width) * first.height;
    std::printf("The frame against the window's size, render size window, %s: the mean over the views of each\n"
                "view's median frame; growth against %d x %d.\n\n", renderer.c_str(), first.width, first.height);
    std::printf("%-12s %10s %9s %10s %9s %12s %9s\n", "size", "pixels", "x pixels", "frame ms", "x frame",
                "processor ms", "x frame");
    for (const SizeFigures& size : sizes)
    {
        const double pixels = static_cast<double>(size.width) * size.height;
        std::printf("%4d x %-5d %10.0f %9.2f %10.2f %9.2f %12.2f %9.2f\n", size.width, size.height, pixels,
                    pixels / firstPixels, size.frameMs, size.frameMs / first.frameMs, size.frameProcessorMs,
                    size.frameProcessorMs / first.frameProcessorMs);
    }
    std::printf("\n{\"render_size\":\"window\",\"renderer\":\"%s\",\"sizes\":[", renderer.c_str());
    for (std::size_t i = 0; i < sizes.size(); ++i)
        std::printf("%s{\"width\":%d,\"height\":%d,\"frame_ms\":%.3f,\"frame_processor_ms\":%.3f}", i ? "," : "",
                    sizes[i].width, sizes[i].height, sizes[i].frameMs, sizes[i].frameProcessorMs);
    std::printf("]}\n");
}

void PrintPictureCost(const BenchFigures& figures, std::size_t pictures)
{
    struct Cost
    {
        const EntryFigures* base;
        const EntryFigures* entry;
        double ratio;
    };
    std::vector<Cost> costs;
    for (std::size_t first = 0; first + pictures <= figures.views.size(); first += pictures)
        for (std::size_t other = first + 1; other < first + pictures; ++other)
        {
            const EntryFigures& base = figures.views[first];
            const EntryFigures& entry = figures.views[other];
            costs.push_back(Cost{&base, &entry, entry.ratio[WholeFrame].median / base.ratio[WholeFrame].median});
        }
    std::printf("\nthe pictures' cost, frame beside frame (%s clock for the ratio)\n", ClockName(figures.ratioClock));
    std::printf("%-24s %-24s %20s %20s %7s\n", "view", "beside", "wall ms (beside)", "processor ms (beside)",
                "ratio");
    for (const Cost& cost : costs)
        std::printf("%-24s %-24s %9.2f (%8.2f) %9.2f (%8.2f) %7.2f\n", cost.entry->name.c_str(),
                    cost.base->name.c_str(), cost.entry->medianMs[WholeFrame], cost.base->medianMs[WholeFrame],
                    cost.entry->processorMs[WholeFrame], cost.base->processorMs[WholeFrame], cost.ratio);
    std::printf("\n{\"picture_cost\":[");
    for (std::size_t i = 0; i < costs.size(); ++i)
        std::printf("%s{\"name\":\"%s\",\"beside\":\"%s\",\"median_ms\":%.4f,\"beside_median_ms\":%.4f,"
                    "\"processor_ms\":%.4f,\"beside_processor_ms\":%.4f,\"ratio\":%.4f}",
                    i ? "," : "", costs[i].entry->name.c_str(), costs[i].base->name.c_str(),
                    costs[i].entry->medianMs[WholeFrame], costs[i].base->medianMs[WholeFrame],
                    costs[i].entry->processorMs[WholeFrame], costs[i].base->processorMs[WholeFrame], costs[i].ratio);
    std::printf("],\"ratio_clock\":\"%s\"}\n", ClockName(figures.ratioClock));
}
