// SPDX-License-Identifier: MIT
#include "MotionComparison.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

namespace
{
double Luma(const std::vector<float>& levels, size_t pixel)
{
    return 0.2126 * levels[3 * pixel] + 0.7152 * levels[3 * pixel + 1] + 0.0722 * levels[3 * pixel + 2];
}

double Share(double part, double whole)
{
    if (part == 0.0)
        return 0.0;
    return whole > 0.0 ? part / whole : std::numeric_limits<double>::infinity();
}
}

MotionFrame AverageDown(const std::vector<unsigned char>& rgb, int width, int height, int factor)
{
    MotionFrame frame;
    frame.width = width / factor;
    frame.height = height / factor;
    frame.levels.assign(static_cast<size_t>(frame.width) * frame.height * 3, 0.0f);
    const double blockArea = static_cast<double>(factor) * factor;
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x)
            for (int channel = 0; channel < 3; ++channel)
            {
                unsigned sum = 0;
                for (int dy = 0; dy < factor; ++dy)
                    for (int dx = 0; dx < factor; ++dx)
                        sum += rgb[(static_cast<size_t>(y * factor + dy) * width + x * factor + dx) * 3 + channel];
                frame.levels[(static_cast<size_t>(y) * frame.width + x) * 3 + channel] =
                    static_cast<float>(sum / blockArea);
            }
    return frame;
}

bool MotionComparison::Add(const MotionFrame& test, const MotionFrame& reference)
{
    const size_t levels = static_cast<size_t>(test.width) * test.height * 3;
    const bool fits = test.levels.size() == levels && reference.width == test.width &&
                      reference.height == test.height && reference.levels.size() == levels &&
                      (!started || (test.width == previousTest.width && test.height == previousTest.height));
    if (!fits)
        return false;
    if (started)
        AddChange(test, reference);
    for (size_t i = 0; i < levels; ++i)
        differenceSum += std::fabs(static_cast<double>(test.levels[i]) - reference.levels[i]);
    levelCount += static_cast<double>(levels);
    AddGlint(test, reference);
    previousTest = test;
    previousReference = reference;
    started = true;
    return true;
}

void MotionComparison::AddChange(const MotionFrame& test, const MotionFrame& reference)
{
    const size_t upperEnd = static_cast<size_t>(test.height / 2) * test.width * 3;
    for (size_t i = 0; i < test.levels.size(); ++i)
    {
        const double testChange = static_cast<double>(test.levels[i]) - previousTest.levels[i];
        const double referenceChange = static_cast<double>(reference.levels[i]) - previousReference.levels[i];
        const double flicker = std::fabs(testChange - referenceChange);
        const int parts = i < upperEnd ? 2 : 1;
        for (int part = 0; part < parts; ++part)
        {
            flickerSum[part] += flicker;
            changeSum[part] += std::fabs(referenceChange);
        }
    }
}

void MotionComparison::AddGlint(const MotionFrame& test, const MotionFrame& reference)
{
    const int firstRow = std::clamp(static_cast<int>(std::lround(region.firstRow * test.height)), 0, test.height);
    const int endRow = std::clamp(static_cast<int>(std::lround(region.endRow * test.height)), 0, test.height);
    for (int y = firstRow; y < endRow; ++y)
        for (int x = 0; x < test.width; ++x)
        {
            const size_t pixel = static_cast<size_t>(y) * test.width + x;
            const double referenceLuma = Luma(reference.levels, pixel);
            if (referenceLuma < region.threshold)
                continue;
            glintReference += referenceLuma;
            glintTest += Luma(test.levels, pixel);
            ++glintPixels;
        }
}

MotionFigures MotionComparison::Figures() const
{
    MotionFigures figures;
    figures.flicker = Share(flickerSum[0], changeSum[0]);
    figures.flickerUpper = Share(flickerSum[1], changeSum[1]);
    figures.error = levelCount > 0.0 ? differenceSum / levelCount : 0.0;
    figures.glintPixels = glintPixels;
    figures.glint = glintReference > 0.0 ? glintTest / glintReference : 0.0;
    return figures;
}
