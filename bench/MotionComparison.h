// SPDX-License-Identifier: MIT
// The arithmetic of the motion measurement, free of GL: the frames of a short walk as the program
// draws them (the test) beside the same walk drawn at a multiple of the pixels and averaged down
// (the reference). What the test changes between two frames and the reference does not is
// flicker; where the two differ in a frame is error.
#pragma once

#include <vector>

// RGB levels of 0 to 255, rows from the top; a reference's are means, so not whole numbers.
struct MotionFrame
{
    int width = 0;
    int height = 0;
    std::vector<float> levels;
};

// Each factor x factor block of the picture (RGB bytes, rows from the top) becomes the mean of its
// levels: the stored levels themselves are averaged, not the light they encode.
MotionFrame AverageDown(const std::vector<unsigned char>& rgb, int width, int height, int factor);

// Where the glint is looked for in each frame: the rows from firstRow to endRow, as shares of the
// picture's height, where the reference's luma (Rec. 709 weights on the levels) reaches threshold.
struct GlintRegion
{
    double firstRow = 0.0;
    double endRow = 1.0;
    double threshold = 255.0;
};

struct MotionFigures
{
    // Sum over pixels, channels and consecutive frames of |dTest - dReference| over the sum of
    // |dReference|; 0 where neither changes, infinite where only the test does.
    double flicker = 0.0;
    double flickerUpper = 0.0;  // the same over the rows of the picture's upper half
    double error = 0.0;  // mean |test - reference| over pixels, channels and frames, in levels
    long glintPixels = 0;  // the region's pixels, summed over the frames
    double glint = 0.0;  // the test's mean luma over the region over the reference's; 0 without one
};

class MotionComparison
{
public:
    explicit MotionComparison(const GlintRegion& glint) : region(glint) {}

    // The walk's next frame in both. A frame of another size than the first test frame is refused
    // and nothing of it counts.
    bool Add(const MotionFrame& test, const MotionFrame& reference);

    MotionFigures Figures() const;

private:
    void AddChange(const MotionFrame& test, const MotionFrame& reference);
    void AddGlint(const MotionFrame& test, const MotionFrame& reference);

    GlintRegion region;
    MotionFrame previousTest;
    MotionFrame previousReference;
    bool started = false;
    double flickerSum[2] = {};  // whole picture, upper half
    double changeSum[2] = {};
    double differenceSum = 0.0;
    double levelCount = 0.0;
    double glintTest = 0.0;
    double glintReference = 0.0;
    long glintPixels = 0;
};
