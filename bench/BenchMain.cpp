// SPDX-License-Identifier: MIT
// merrowind-bench: where a frame's time goes, and how far it is from the fastest frame this
// machine could draw. Runs the program's own start-up and frames on an offscreen context, with
// glFinish around every stage, over the camera tour and the speed-of-light frame, interleaved in
// rounds so that the machine's changing load cannot decide a ratio.
//
//   merrowind-bench [--rounds N] [--frames N] [--warmup N] [--size WxH] [--render-size specified|window]
//                   [--picture specified,best] [--views NAME,NAME...] [--clock wall|processor]
//                   [--inspector closed|open] [--scheduling realtime|normal]
//   merrowind-bench --motion [--views NAME,NAME...] [--steps N] [--picture specified,best]
//                   (see MotionRun.h)
//
// --frames is per view and round; --warmup rounds, timed nowhere, come before the N rounds;
// --views measures only the tour views named; --clock picks the clock the ratios are taken on
// (by default the processor's on a renderer that draws on the processor, else the wall clock);
// --inspector open draws every view with the inspector open over it, its timer queries and
// read-backs included, so that its cost shows beside a run with it closed (the default);
// --scheduling realtime asks for the lowest real-time class, so that other programs on the machine
// disturb the measurement less; by default the process stays in the class it was started in and
// shares the processors.
// --render-size window renders the scene target and the water images at the window's size, and
// without --size measures the whole run at 640 x 480, 1280 x 720 and 1920 x 1080 and compares the
// frame's growth with the pixel count's. --picture best measures the steadiest picture the driver
// allows instead of the specified one; --picture specified,best draws every view in both, the
// setting switched between entries as the rounds alternate the views, and adds what each picture
// costs beside the first one listed. Runs of more than a million frames in all are refused
// with the usage (status 2); SIGINT and SIGTERM stop the run before its next frame, with no report
// (status 4).
#include "Arguments.h"
#include "BenchReport.h"
#include "CameraTour.h"
#include "ChildProcess.h"
#include "InterleavedRounds.h"
#include "MotionRun.h"
#include "OffscreenScene.h"
#include "SpeedOfLightFrame.h"

#include "app/Scene.h"
#include "hdr/CHDRPostProcess.h"
#include "inspector/CInspector.h"
#include "platform/DisplaySettings.h"
#include "water/CRenderTexture.h"

#include <epoxy/gl.h>
#include <malloc.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace
{
struct WindowExtent
{
    int width;
    int height;
};

// With --render-size window and no --size, the frame is measured at each of these.
const std::vector<WindowExtent> WindowSizeSeries = {{640, 480}, {1280, 720}, {1920, 1080}};
// Longer runs are refused: their records would not fit in memory, and at the software renderer's
// few frames a second they would take days.
constexpr int MostFrames = 1000000;
constexpr int StoppedStatus = 4;

struct Options
{
    RoundsPlan plan;
    int width = 640;
    int height = 480;
    bool sizeGiven = false;
    RenderSize renderSize = RenderSize::Specified;
    std::vector<Picture> pictures;  // each view is drawn in each of these
    std::vector<WindowExtent> sizes;
    std::vector<const TourView*> views;
    std::string clock;  // empty: chosen by the renderer
    std::string inspector = "closed";
    std::string scheduling = "normal";
};

// Milliseconds from the start of this process to now, from the kernel's record of the start.
double MillisecondsSinceProcessStart()
{
    FILE* stat = std::fopen("/proc/self/stat", "r");
    if (stat == nullptr)
        return 0.0;
    unsigned long long startTicks = 0;
    const int matched = std::fscanf(stat, "%*d (%*[^)]) %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %*u %*u %*d %*d "
                                          "%*d %*d %*d %*d %llu", &startTicks);
    std::fclose(stat);
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    if (matched != 1)
        return 0.0;
    const double started = 1000.0 * static_cast<double>(startTicks) / static_cast<double>(sysconf(_SC_CLK_TCK));
    return now.tv_sec * 1000.0 + now.tv_nsec / 1.0e6 - started;
}

// The machine's one-minute load average: the ratios move with it, so runs are compared at a
// similar load.
double LoadAverage()
{
    double load = 0.0;
    FILE* file = std::fopen("/proc/loadavg", "r");
    if (file == nullptr)
        return 0.0;
    if (std::fscanf(file, "%lf", &load) != 1)
        load = 0.0;
    std::fclose(file);
    return load;
}

// Every view's frame is followed by a speed-of-light frame, in the warm-up rounds too.
long long TotalFrames(const Options& options)
{
    const long long rounds = static_cast<long long>(options.plan.warmupRounds) + options.plan.rounds;
    const long long entries = static_cast<long long>(options.views.size() * options.pictures.size());
    return rounds * options.plan.framesPerRound * entries * 2;
}

bool ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i + 1 < argc; i += 2)
    {
        const std::string name = argv[i];
        const char* value = argv[i + 1];
        if (name == "--rounds")
        {
            if (!ParseCount(value, 1, MostFrames, options.plan.rounds))
                return false;
        }
        else if (name == "--frames")
        {
            if (!ParseCount(value, 1, MostFrames, options.plan.framesPerRound))
                return false;
        }
        else if (name == "--warmup")
        {
            if (!ParseCount(value, 0, MostFrames, options.plan.warmupRounds))
                return false;
        }
        else if (name == "--size")
        {
            if (!ParseSize(value, options.width, options.height))
                return false;
            options.sizeGiven = true;
        }
        else if (name == "--render-size")
        {
            if (!ParseRenderSize(value, options.renderSize))
                return false;
        }
        else if (name == "--picture")
        {
            if (!ParsePictures(value, options.pictures))
                return false;
        }
        else if (name == "--clock")
            options.clock = value;
        else if (name == "--inspector")
            options.inspector = value;
        else if (name == "--scheduling")
            options.scheduling = value;
        else if (name == "--views")
        {
            if (!FindTourViews(value, options.views))
                return false;
        }
        else
            return false;
    }
    if (options.views.empty())
        for (const TourView& view : CameraTour())
            options.views.push_back(&view);
    if (options.pictures.empty())
        options.pictures = {Picture::Specified};
    const bool series = options.renderSize == RenderSize::Window && !options.sizeGiven;
    options.sizes = series ? WindowSizeSeries : std::vector<WindowExtent>{{options.width, options.height}};
    return argc % 2 == 1 && (options.clock.empty() || options.clock == "wall" || options.clock == "processor") &&
           (options.inspector == "closed" || options.inspector == "open") &&
           (options.scheduling == "realtime" || options.scheduling == "normal") &&
           TotalFrames(options) <= MostFrames;
}

void PrintUsage(const char* program)
{
    std::fprintf(stderr,
                 "usage: %s [--rounds N] [--frames N] [--warmup N] [--size WxH] [--render-size specified|window]"
                 " [--picture specified,best] [--views NAME,NAME...] [--clock wall|processor]"
                 " [--inspector closed|open] [--scheduling realtime|normal]\n"
                 "       (at most %d frames in all, twice (warm-up + rounds) x frames x views; sides of 1"
                 " to 16384 pixels)\n"
                 "       %s --motion [--views NAME,NAME...] [--steps N] [--picture specified,best]\nviews:",
                 program, MostFrames, program);
    for (const TourView& view : CameraTour())
        std::fprintf(stderr, " %s", view.name);
    std::fprintf(stderr, "\n");
}

// On a renderer that draws on the processor, the frame's work is the processor time of this
// process's threads: unlike the wall clock, it does not grow when other programs take cores away,
// so ratios taken on it do not move with the machine's load. A GPU works outside the process.
FrameClock RatioClock(const std::string& chosen, const std::string& renderer)
{
    if (!chosen.empty())
        return chosen == "wall" ? FrameClock::Wall : FrameClock::Processor;
    const bool onProcessor = renderer.find("llvmpipe") != std::string::npos ||
                             renderer.find("softpipe") != std::string::npos;
    return onProcessor ? FrameClock::Processor : FrameClock::Wall;
}

// In the lowest real-time class the benchmark's threads run until they wait, and other programs
// only then (and in the twentieth of each second the kernel keeps for them): their cache traffic
// and their claims on the cores then disturb the frames less, at the price of all but stopping
// them for the run. The driver's threads, started with the context, inherit the class. Setting it
// takes the privilege to (root, or CAP_SYS_NICE); without it the run goes on in the normal class.
// Returns why the class was refused, empty when it was granted.
std::string RequestRealTimeScheduling()
{
    sched_param parameter{};
    parameter.sched_priority = sched_get_priority_min(SCHED_FIFO);
    if (sched_setscheduler(0, SCHED_FIFO, &parameter) == 0)
        return "";
    return std::strerror(errno);
}

// The open inspector times the stages with its own queries, as it does in the program, while the
// benchmark's timer hears them too.
class BothObservers : public IFrameObserver
{
public:
    BothObservers(IFrameObserver& first, IFrameObserver& second) : first(first), second(second) {}
    void StageFinished(FrameStage stage) override
    {
        first.StageFinished(stage);
        second.StageFinished(stage);
    }

private:
    IFrameObserver& first;
    IFrameObserver& second;
};

void RenderView(const SceneCamera& camera, StageTimer& timer)
{
    OffscreenScene::Place(camera);
    IFrameObserver* inspector = Inspector.BeginTimedFrame();
    if (inspector == nullptr)
    {
        RenderObservedFrame(timer);
        return;
    }
    BothObservers both(*inspector, timer);
    RenderObservedFrame(both);
}

// The scene target's and the water images' sizes after the scene's first frame has fitted them.
RenderTargetSizes TargetSizesInUse()
{
    RenderTargetSizes sizes{0, 0, RenderTexture.width};
    HDRPostProcess.ForEachTarget([&sizes](const NamedTarget& target) {
        if (std::string(target.label) == "scene")
        {
            sizes.sceneWidth = target.width;
            sizes.sceneHeight = target.height;
        }
    });
    return sizes;
}

// The sizes each picture's frames fit the targets to, from a frame drawn in each; the first
// picture's stay.
std::vector<std::pair<std::string, RenderTargetSizes>> PictureTargets(const std::vector<Picture>& pictures)
{
    std::vector<std::pair<std::string, RenderTargetSizes>> sizes;
    for (auto picture = pictures.rbegin(); picture != pictures.rend(); ++picture)
    {
        displaySettings.picture = *picture;
        RenderFrame();
        sizes.insert(sizes.begin(), {PictureWord(*picture), TargetSizesInUse()});
    }
    return sizes;
}

// The views first, the speed-of-light frame last, as Summarise expects them. With more than one
// picture, each view is an entry in each, named "view/picture", and the frame switches the setting
// before it draws, as the inspector does.
std::vector<BenchEntry> Entries(const Options& options, const SpeedOfLightFrame& speedOfLight)
{
    std::vector<BenchEntry> entries;
    const bool several = options.pictures.size() > 1;
    for (const TourView* view : options.views)
        for (const Picture picture : options.pictures)
            entries.push_back(BenchEntry{
                several ? std::string(view->name) + "/" + PictureWord(picture) : std::string(view->name),
                [camera = view->camera, picture](StageTimer& timer) {
                    displaySettings.picture = picture;
                    RenderView(camera, timer);
                }});
    entries.push_back(BenchEntry{"speed_of_light", [&speedOfLight](StageTimer& timer) { speedOfLight.Render(timer); }});
    return entries;
}
}

// One window size: start-up, the rounds and their report, beside what `facts` already holds
// (the scheduling). With `channel` open, the frame's
// figures at this size also go there.
int MeasureAtSize(const Options& options, const WindowExtent& size, RunFacts facts, int channel)
{
    OffscreenScene scene;
    displaySettings.renderSize = options.renderSize;
    displaySettings.picture = options.pictures.front();
    if (!scene.Start(size.width, size.height))
    {
        std::fprintf(stderr, "%s\n", scene.Error().c_str());
        return 1;
    }
    facts.inspectorOpen = options.inspector == "open";
    if (facts.inspectorOpen)
    {
        UseSceneOverlay(Inspector);
        Inspector.Open();
    }
    glFinish();
    facts.toInitSceneMs = MillisecondsSinceProcessStart();
    RenderFrame();
    glFinish();
    facts.toFirstFrameMs = MillisecondsSinceProcessStart();

    facts.renderSize = options.renderSize == RenderSize::Window ? "window" : "specified";
    facts.pictureTargets = PictureTargets(options.pictures);
    facts.targets = TargetSizesInUse();
    SpeedOfLightFrame speedOfLight;
    speedOfLight.Create(size.width, size.height, facts.targets);
    facts.loadBefore = LoadAverage();
    const RoundsRecord record =
        RunInterleavedRounds(Entries(options, speedOfLight), options.plan, OffscreenScene::QuitRequested);
    if (record.stopped)
    {
        std::fprintf(stderr, "stopped before the last round: no report\n");
        return StoppedStatus;
    }
    facts.loadAfter = LoadAverage();
    facts.renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const BenchFigures figures = Summarise(record, RatioClock(options.clock, facts.renderer));

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    facts.width = size.width;
    facts.height = size.height;
    facts.peakResidentKiB = usage.ru_maxrss;
    facts.messageBoxes = scene.Boxes().size();
    PrintTable(figures, facts);
    for (const MessageBoxRecord& box : scene.Boxes())
        std::printf("message box during the run: \"%s\": %s\n", box.caption.c_str(), box.text.c_str());
    std::printf("\n");
    PrintJson(figures, facts);
    if (options.pictures.size() > 1)
        PrintPictureCost(figures, options.pictures.size());
    const SizeFigures frame = FrameAtSize(figures, size.width, size.height);
    const bool handedBack = channel < 0 || (write(channel, &frame, sizeof frame) == sizeof frame &&
                                            write(channel, facts.renderer.c_str(), facts.renderer.size()) >= 0);
    return handedBack ? 0 : 1;
}

// Each size is measured in a process of its own, which hands its frame figures (and the
// renderer's name) back through a pipe.
int MeasureEachSize(const Options& options, const RunFacts& facts)
{
    std::vector<SizeFigures> sizes;
    std::string renderer;
    for (const WindowExtent& size : options.sizes)
    {
        SizeFigures frame;
        const int status = RunInChildProcess(
            [&](int channel) { return MeasureAtSize(options, size, facts, channel); },
            [&](int channel) {
                if (read(channel, &frame, sizeof frame) != sizeof frame)
                    return false;
                char name[256] = {};
                renderer.assign(name, std::max<ssize_t>(read(channel, name, sizeof name - 1), 0));
                return true;
            });
        if (status != 0)
            return status == StoppedStatus ? StoppedStatus : 1;
        sizes.push_back(frame);
        std::printf("\n");
    }
    PrintScaling(sizes, renderer);
    return 0;
}

namespace
{
int Run(int argc, char** argv)
{
    // glibc serves large blocks from mmap until one is freed, then raises that threshold and
    // keeps such blocks in its heap: the driver's per-draw copies of the water grid then leave a
    // one-time step of about 2.3 MB in the middle of the rounds, which is no growth. A fixed
    // threshold keeps the allocator's policy out of the resident-memory figure; a block that is
    // never freed still shows, wherever it was served from.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    if (argc > 1 && std::strcmp(argv[1], "--motion") == 0)
        return RunMotion(argc - 1, argv + 1);
    Options options;
    if (!ParseOptions(argc, argv, options))
    {
        PrintUsage(argv[0]);
        return 2;
    }
    RunFacts facts;
    if (options.scheduling == "realtime")
        facts.schedulingRefusal = RequestRealTimeScheduling();
    facts.scheduling = facts.schedulingRefusal.empty() ? options.scheduling : "normal";
    if (options.sizes.size() == 1)
        return MeasureAtSize(options, options.sizes[0], facts, -1);
    return MeasureEachSize(options, facts);
}
}

int main(int argc, char** argv)
{
    return StatusAfterFlushingReport(Run(argc, argv));
}
