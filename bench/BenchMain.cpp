// merrowind-bench: where a frame's time goes, and how far it is from the fastest frame this
// machine could draw. Runs the program's own start-up and frames on an offscreen context, from
// the start camera and from a second fixed camera, with glFinish around every stage.
//
//   merrowind-bench [--frames N] [--warmup N] [--size WxH]
#include "AllocationCounter.h"
#include "OffscreenScene.h"
#include "SpeedOfLightFrame.h"

#include "app/Scene.h"

#include <epoxy/gl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace
{
using Clock = std::chrono::steady_clock;

struct Options
{
    int frames = 200;
    int warmup = 20;
    int width = 640;
    int height = 480;
};

// The stages as the benchmark reports them: the swap is counted with the composite.
constexpr std::array<const char*, 5> StageNames = {"reflection", "refraction", "main_scene", "hdr_chain",
                                                   "composite_swap"};
constexpr int ReportedStages = static_cast<int>(StageNames.size());

int ReportedStage(FrameStage stage)
{
    return std::min(static_cast<int>(stage), ReportedStages - 1);
}

struct Summary
{
    double median = 0.0;
    double p90 = 0.0;
};

Summary Summarise(std::vector<double> samples)
{
    if (samples.empty())
        return {};
    std::sort(samples.begin(), samples.end());
    const auto at = [&](double fraction) {
        return samples[std::min(samples.size() - 1, static_cast<size_t>(fraction * (samples.size() - 1) + 0.5))];
    };
    return Summary{at(0.5), at(0.9)};
}

// Times each stage of a frame, the GPU work included: glFinish closes every stage.
class StageTimer : public IFrameObserver
{
public:
    explicit StageTimer(int frames)
    {
        for (auto& stage : stageTimes)
            stage.reserve(frames);
        frameTimes.reserve(frames);
    }

    void BeginFrame()
    {
        glFinish();
        frameStart = last = Clock::now();
        current.fill(0.0);
    }

    void StageFinished(FrameStage stage) override
    {
        glFinish();
        const auto now = Clock::now();
        current[ReportedStage(stage)] += Milliseconds(now - last);
        last = now;
    }

    void EndFrame(bool record)
    {
        if (!record)
            return;
        for (int i = 0; i < ReportedStages; ++i)
            stageTimes[i].push_back(current[i]);
        frameTimes.push_back(Milliseconds(last - frameStart));
    }

    std::array<Summary, ReportedStages> Stages() const
    {
        std::array<Summary, ReportedStages> result;
        for (int i = 0; i < ReportedStages; ++i)
            result[i] = Summarise(stageTimes[i]);
        return result;
    }

    Summary Frame() const { return Summarise(frameTimes); }

    static double Milliseconds(Clock::duration duration)
    {
        return std::chrono::duration<double, std::milli>(duration).count();
    }

private:
    std::array<std::vector<double>, ReportedStages> stageTimes;
    std::vector<double> frameTimes;
    std::array<double, ReportedStages> current{};
    Clock::time_point frameStart, last;
};

struct Measurement
{
    std::string name;
    std::array<Summary, ReportedStages> stages;
    Summary frame;
    double allocationsPerFrame = 0.0;
    double newPerFrame = 0.0;
    int glErrors = 0;
    long residentGrowthKiB = 0;
};

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

Measurement Measure(const std::string& name, const Options& options, const std::function<void(StageTimer&)>& frame)
{
    StageTimer timer(options.frames);
    for (int i = 0; i < options.warmup; ++i)
    {
        timer.BeginFrame();
        frame(timer);
        timer.EndFrame(false);
    }
    TakeGlErrors();
    int glErrors = 0;
    const long residentBefore = ResidentKiB();
    const AllocationCount before = CountAllocations();
    for (int i = 0; i < options.frames; ++i)
    {
        timer.BeginFrame();
        frame(timer);
        timer.EndFrame(true);
        glErrors += TakeGlErrors();
    }
    const AllocationCount after = CountAllocations();
    const double frames = options.frames;
    return Measurement{name, timer.Stages(), timer.Frame(), (after.all - before.all) / frames,
                       (after.cplusplus - before.cplusplus) / frames, glErrors, ResidentKiB() - residentBefore};
}

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

bool ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i + 1 < argc; i += 2)
    {
        const std::string name = argv[i];
        const char* value = argv[i + 1];
        if (name == "--frames")
            options.frames = std::atoi(value);
        else if (name == "--warmup")
            options.warmup = std::atoi(value);
        else if (name == "--size")
        {
            if (std::sscanf(value, "%dx%d", &options.width, &options.height) != 2)
                return false;
        }
        else
            return false;
    }
    return argc % 2 == 1 && options.frames > 0 && options.warmup >= 0 && options.width > 0 && options.height > 0;
}

void PrintTable(const std::vector<Measurement>& measurements)
{
    std::printf("%-16s", "stage (ms)");
    for (const Measurement& m : measurements)
        std::printf(" | %12s median    p90", m.name.c_str());
    std::printf("\n");
    for (int i = 0; i <= ReportedStages; ++i)
    {
        std::printf("%-16s", i < ReportedStages ? StageNames[i] : "whole frame");
        for (const Measurement& m : measurements)
        {
            const Summary s = i < ReportedStages ? m.stages[i] : m.frame;
            std::printf(" | %19.3f %6.3f", s.median, s.p90);
        }
        std::printf("\n");
    }
    std::printf("%-16s", "GL errors");
    for (const Measurement& m : measurements)
        std::printf(" | %26d", m.glErrors);
    std::printf("\n%-16s", "RSS growth (KiB)");
    for (const Measurement& m : measurements)
        std::printf(" | %26ld", m.residentGrowthKiB);
    std::printf("\n%-16s", "frames/second");
    for (const Measurement& m : measurements)
        std::printf(" | %26.1f", 1000.0 / m.frame.median);
    std::printf("\n%-16s", "allocations/frame");
    for (const Measurement& m : measurements)
        std::printf(" | %14.2f (new %5.2f)", m.allocationsPerFrame, m.newPerFrame);
    std::printf("\n");
}

void PrintJsonMeasurement(const Measurement& m, bool last)
{
    std::printf("{\"name\":\"%s\",\"stages\":{", m.name.c_str());
    for (int i = 0; i < ReportedStages; ++i)
        std::printf("%s\"%s\":{\"median_ms\":%.4f,\"p90_ms\":%.4f}", i ? "," : "", StageNames[i], m.stages[i].median,
                    m.stages[i].p90);
    std::printf("},\"frame\":{\"median_ms\":%.4f,\"p90_ms\":%.4f},\"fps\":%.2f,\"allocations_per_frame\":%.3f,"
                "\"new_per_frame\":%.3f,\"gl_errors\":%d,\"rss_growth_kib\":%ld}%s",
                m.frame.median, m.frame.p90, 1000.0 / m.frame.median, m.allocationsPerFrame, m.newPerFrame,
                m.glErrors, m.residentGrowthKiB, last ? "" : ",");
}
}

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options))
    {
        std::fprintf(stderr, "usage: %s [--frames N] [--warmup N] [--size WxH]\n", argv[0]);
        return 2;
    }
    OffscreenScene scene;
    if (!scene.Start(options.width, options.height))
    {
        std::fprintf(stderr, "%s\n", scene.Error().c_str());
        return 1;
    }
    glFinish();
    const double toInitScene = MillisecondsSinceProcessStart();
    RenderFrame();
    glFinish();
    const double toFirstFrame = MillisecondsSinceProcessStart();

    const auto sceneFrame = [](StageTimer& timer) { RenderObservedFrame(timer); };
    std::vector<Measurement> measurements;
    OffscreenScene::Place(SceneCamera{});
    measurements.push_back(Measure("start_camera", options, sceneFrame));
    OffscreenScene::Place(SceneCamera{true, -220.0f, 45.0f, 160.0f, 2.4f, 35.0f});
    measurements.push_back(Measure("second_camera", options, sceneFrame));
    SpeedOfLightFrame speedOfLight;
    speedOfLight.Create(options.width, options.height);
    measurements.push_back(
        Measure("speed_of_light", options, [&](StageTimer& timer) { speedOfLight.Render(timer); }));

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double lightMedian = measurements.back().frame.median;

    std::printf("Merrowind frame benchmark: %d x %d, %d frames after %d warm-up frames, %s\n\n", options.width,
                options.height, options.frames, options.warmup, glGetString(GL_RENDERER));
    PrintTable(measurements);
    std::printf("\nframe / speed-of-light frame: start camera %.2f, second camera %.2f\n",
                measurements[0].frame.median / lightMedian, measurements[1].frame.median / lightMedian);
    std::printf("start-up: %.1f ms to the end of InitScene, %.1f ms to the first presented frame\n", toInitScene,
                toFirstFrame);
    std::printf("peak resident memory: %ld KiB\n", usage.ru_maxrss);
    for (const MessageBoxRecord& box : scene.Boxes())
        std::printf("message box during the run: \"%s\": %s\n", box.caption.c_str(), box.text.c_str());

    std::printf("\n{\"width\":%d,\"height\":%d,\"frames\":%d,\"warmup\":%d,\"renderer\":\"%s\",\"measurements\":[",
                options.width, options.height, options.frames, options.warmup, glGetString(GL_RENDERER));
    for (size_t i = 0; i < measurements.size(); ++i)
        PrintJsonMeasurement(measurements[i], i + 1 == measurements.size());
    std::printf("],\"ratio_start_camera\":%.3f,\"ratio_second_camera\":%.3f,\"startup_init_scene_ms\":%.1f,"
                "\"startup_first_frame_ms\":%.1f,\"peak_rss_kib\":%ld,\"message_boxes\":%zu}\n",
                measurements[0].frame.median / lightMedian, measurements[1].frame.median / lightMedian, toInitScene,
                toFirstFrame, usage.ru_maxrss, scene.Boxes().size());
    return 0;
}
