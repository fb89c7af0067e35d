// SPDX-License-Identifier: MIT
#include "MotionRun.h"

#include "Arguments.h"
#include "CameraTour.h"
#include "MotionReport.h"
#include "MotionWalk.h"

#include <cstdio>
#include <string>
#include <vector>

namespace
{
constexpr int MostSteps = 60;
constexpr int StoppedStatus = 4;
constexpr int WindowWidth = 640;
constexpr int WindowHeight = 480;
// The reference is drawn at this many times the pixels on each side, at the window's render size.
constexpr int ReferenceFactor = 4;
// The glint of into_sun lies on the lake in the middle half of the rows, where the reference's
// bright pixels are the sun's reflection: the sky above stays under 200 levels, and the sunlit
// rocks below the lake and the sun in the reflection preview lie outside those rows.
const GlintRegion Glint{0.25, 0.75, 200.0};

struct MotionOptions
{
    std::vector<const TourView*> views;
    std::vector<Picture> pictures;
    int steps = 5;
};

bool ParseMotionOptions(int argc, char** argv, MotionOptions& options)
{
    for (int i = 1; i + 1 < argc; i += 2)
    {
        const std::string name = argv[i];
        const bool parsed = name == "--views"   ? FindTourViews(argv[i + 1], options.views)
                            : name == "--steps"   ? ParseCount(argv[i + 1], 1, MostSteps, options.steps)
                            : name == "--picture" ? ParsePictures(argv[i + 1], options.pictures)
                                                  : false;
        if (!parsed)
            return false;
    }
    if (options.views.empty())
        FindTourViews("hillside_lake,into_sun,along_lake,open_water", options.views);
    if (options.pictures.empty())
        options.pictures = {Picture::Specified, Picture::Best};
    return argc % 2 == 1;
}

// The walk in the reference, then in each of the program's own pictures, compared frame by frame.
int MeasureView(const TourView& view, const MotionOptions& options, std::vector<MotionResult>& results)
{
    const WalkPlan reference{view.camera,        options.steps,      WindowWidth * ReferenceFactor,
                             WindowHeight * ReferenceFactor, RenderSize::Window, Picture::Specified, ReferenceFactor};
    std::vector<MotionFrame> referenceFrames;
    const int referenceStatus = DrawWalk(reference, referenceFrames);
    if (referenceStatus != 0)
        return referenceStatus;
    for (const Picture picture : options.pictures)
    {
        const WalkPlan test{view.camera, options.steps, WindowWidth, WindowHeight, RenderSize::Specified, picture, 1};
        std::vector<MotionFrame> testFrames;
        const int testStatus = DrawWalk(test, testFrames);
        if (testStatus != 0)
            return testStatus;
        MotionComparison comparison(Glint);
        for (size_t frame = 0; frame < testFrames.size(); ++frame)
            comparison.Add(testFrames[frame], referenceFrames[frame]);
        results.push_back(MotionResult{view.name, PictureWord(picture), comparison.Figures()});
    }
    return 0;
}
}

int RunMotion(int argc, char** argv)
{
    MotionOptions options;
    if (!ParseMotionOptions(argc, argv, options))
    {
        std::fprintf(stderr, "usage: merrowind-bench --motion [--views NAME,NAME...] [--steps N] [--picture specified,best]\n"
                             "       (1 to %d steps)\nviews:", MostSteps);
        for (const TourView& view : CameraTour())
            std::fprintf(stderr, " %s", view.name);
        std::fprintf(stderr, "\n");
        return 2;
    }
    std::vector<MotionResult> results;
    for (const TourView* view : options.views)
    {
        const int status = MeasureView(*view, options, results);
        if (status != 0)
        {
            std::fprintf(stderr, status == StoppedStatus ? "stopped: no report\n" : "a walk could not be drawn\n");
            return status;
        }
    }
    const MotionFacts facts{options.steps, WalkStep, WindowWidth, WindowHeight, ReferenceFactor};
    PrintMotionTable(results, facts);
    PrintMotionJson(results, facts);
    return 0;
}
