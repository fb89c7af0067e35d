// SPDX-License-Identifier: MIT
#include "MotionReport.h"

#include <cmath>
#include <cstdio>

namespace
{
// A figure that has no finite value (a still reference) is null in the JSON line.
void PrintJsonNumber(const char* key, double value)
{
    if (std::isfinite(value))
        std::printf("\"%s\":%.4f", key, value);
    else
        std::printf("\"%s\":null", key);
}
}

void PrintMotionTable(const std::vector<MotionResult>& results, const MotionFacts& facts)
{
    std::printf("Merrowind motion: walks of %d steps of %.2f units a frame, the water held still, at %d x %d "
                "against %d x %d averaged down %d x %d\n",
                facts.steps, facts.step, facts.width, facts.height, facts.width * facts.factor,
                facts.height * facts.factor, facts.factor, facts.factor);
    std::printf("flicker: the change between frames that the reference does not have, over the reference's own; "
                "error: mean difference, levels of 255; glint: mean luma over the reference's bright water\n\n");
    std::printf("%-18s %-10s %9s %15s %7s %7s %13s\n", "view", "picture", "flicker", "flicker (upper)", "error",
                "glint", "glint pixels");
    for (const MotionResult& result : results)
    {
        const MotionFigures& f = result.figures;
        std::printf("%-18s %-10s %9.2f %15.2f %7.2f ", result.view.c_str(), result.picture.c_str(), f.flicker,
                    f.flickerUpper, f.error);
        if (f.glintPixels > 0)
            std::printf("%7.3f %13ld\n", f.glint, f.glintPixels);
        else
            std::printf("%7s %13s\n", "-", "-");
    }
    std::printf("\n");
}

void PrintMotionJson(const std::vector<MotionResult>& results, const MotionFacts& facts)
{
    std::printf("{\"motion\":{\"steps\":%d,\"step\":%.3f,\"width\":%d,\"height\":%d,\"reference_factor\":%d,"
                "\"results\":[",
                facts.steps, facts.step, facts.width, facts.height, facts.factor);
    for (size_t i = 0; i < results.size(); ++i)
    {
        const MotionFigures& f = results[i].figures;
        std::printf("%s{\"view\":\"%s\",\"picture\":\"%s\",", i ? "," : "", results[i].view.c_str(),
                    results[i].picture.c_str());
        PrintJsonNumber("flicker", f.flicker);
        std::printf(",");
        PrintJsonNumber("flicker_upper", f.flickerUpper);
        std::printf(",");
        PrintJsonNumber("error", f.error);
        std::printf(",\"glint_pixels\":%ld,", f.glintPixels);
        PrintJsonNumber("glint", f.glintPixels > 0 ? f.glint : NAN);
        std::printf("}");
    }
    std::printf("]}}\n");
}
