// SPDX-License-Identifier: MIT
// A model of the HDR chain on the CPU, in double precision, written from the mathematics of each
// stage rather than from the effect: the log-average of the scene's luminance, the eye's
// adaptation step, the bright pass over each bloom texel's footprint, the two blurs and the tone
// map. The chain's tests feed it the scenes they give the chain and compare the two.
#pragma once

#include <cstddef>
#include <vector>

namespace HdrReference
{
// A grey image (red = green = blue, so each value is its own luminance), bottom row first.
struct Image
{
    Image(int width, int height, double value = 0.0);

    double& At(int x, int y) { return values[static_cast<size_t>(y) * width + x]; }
    double At(int x, int y) const { return values[static_cast<size_t>(y) * width + x]; }

    int width;
    int height;
    std::vector<double> values;
};

// exp of the mean of log(delta + luminance) over every pixel.
double LogAverage(const Image& scene);

// One frame of adaptation of `previous` towards the measured log-average.
double Adapt(double previous, double measured, double elapsed);

// The bloom image (128 x 128) of a scene of any size: the area average over each bright-pass
// texel's footprint, the part above `threshold`, the area average down to the bloom, then the
// blur along x and along y.
Image Bloom(const Image& scene, double threshold);

// The bloom at the centre of scene pixel (x, y), filtered bilinearly as the picture reads it.
double BloomAt(const Image& bloom, int x, int y, int sceneWidth, int sceneHeight);

// The filmic curve (the ACES fit), clamped to 0..1.
double ToneMap(double exposed);

// The picture's value for a scene value with its bloom, under an adapted luminance.
double Display(double scene, double bloom, double adapted);
}
