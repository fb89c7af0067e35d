// SPDX-License-Identifier: MIT
#include "HdrReference.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace HdrReference
{
namespace
{
constexpr double LogDelta = 1e-4;
constexpr double AdaptationRate = 0.2;
// The key the picture is exposed to: the effect's 0.3 times the chain's exposure of 0.75.
constexpr double ExposureKey = 0.3 * 0.75;
constexpr double MinimumAdaptedLuminance = 0.01;
constexpr int BrightPassSize = 512;
constexpr int BloomSize = 128;

// Overlap of the unit interval [i, i + 1] with [low, high].
double Overlap(int i, double low, double high)
{
    return std::max(0.0, std::min(i + 1.0, high) - std::max(static_cast<double>(i), low));
}

// Every target texel is the mean of the source over the rectangle it covers, partly covered
// source texels counted by their covered area.
Image AreaAverage(const Image& source, int width, int height)
{
    const double scaleX = static_cast<double>(source.width) / width;
    const double scaleY = static_cast<double>(source.height) / height;
    Image target(width, height);
    for (int y = 0; y < height; ++y)
    {
        for (int x = 0; x < width; ++x)
        {
            double sum = 0.0;
            for (int j = static_cast<int>(y * scaleY); j < std::ceil((y + 1) * scaleY); ++j)
            {
                for (int i = static_cast<int>(x * scaleX); i < std::ceil((x + 1) * scaleX); ++i)
                    sum += Overlap(i, x * scaleX, (x + 1) * scaleX) * Overlap(j, y * scaleY, (y + 1) * scaleY) *
                           source.At(i, j);
            }
            target.At(x, y) = sum / (scaleX * scaleY);
        }
    }
    return target;
}

// The blur's nine taps sit at -4, -3, -2, -1, 0, 0, +1, +2, +3 texels with the weights
// 0.05 + (1 - x^2) / 4 for x = -1 to 1 in steps of 0.25; each is taken on both sides of the
// texel with half its weight, and the kernel is divided by the sum of the weights.
std::array<double, 9> BlurKernel()
{
    const int offsets[9] = {-4, -3, -2, -1, 0, 0, 1, 2, 3};
    std::array<double, 9> kernel{};
    double sum = 0.0;
    for (int t = 0; t < 9; ++t)
    {
        const double x = (t - 4) / 4.0;
        const double weight = 0.05 + (1.0 - x * x) / 4.0;
        kernel[4 + offsets[t]] += weight / 2.0;
        kernel[4 - offsets[t]] += weight / 2.0;
        sum += weight;
    }
    for (double& k : kernel)
        k /= sum;
    return kernel;
}

// The kernel along one line of texels; texels beyond its ends repeat the end texels.
std::vector<double> BlurLine(const std::vector<double>& line)
{
    static const std::array<double, 9> kernel = BlurKernel();
    std::vector<double> blurred(line.size(), 0.0);
    for (size_t x = 0; x < line.size(); ++x)
    {
        for (size_t k = 0; k < kernel.size(); ++k)
            blurred[x] += kernel[k] * line[std::min(std::max(x + k, size_t{4}) - 4, line.size() - 1)];
    }
    return blurred;
}

Image BlurAlongX(const Image& source)
{
    Image target(source.width, source.height);
    for (int y = 0; y < source.height; ++y)
    {
        const auto row = source.values.begin() + static_cast<std::ptrdiff_t>(y) * source.width;
        const std::vector<double> blurred = BlurLine(std::vector<double>(row, row + source.width));
        std::copy(blurred.begin(), blurred.end(), target.values.begin() + static_cast<std::ptrdiff_t>(y) * source.width);
    }
    return target;
}

Image Transposed(const Image& source)
{
    Image target(source.height, source.width);
    for (int y = 0; y < source.height; ++y)
    {
        for (int x = 0; x < source.width; ++x)
            target.At(y, x) = source.At(x, y);
    }
    return target;
}
}

Image::Image(int width, int height, double value)
    : width(width), height(height), values(static_cast<size_t>(width) * height, value)
{
}

double LogAverage(const Image& scene)
{
    double sum = 0.0;
    for (double value : scene.values)
        sum += std::log(LogDelta + value);
    return std::exp(sum / static_cast<double>(scene.values.size()));
}

double Adapt(double previous, double measured, double elapsed)
{
    return previous + (measured - previous) * (1.0 - std::exp(-elapsed * AdaptationRate));
}

Image Bloom(const Image& scene, double threshold)
{
    Image bright = AreaAverage(scene, BrightPassSize, BrightPassSize);
    for (double& value : bright.values)
        value = std::max(value - threshold, 0.0);
    return Transposed(BlurAlongX(Transposed(BlurAlongX(AreaAverage(bright, BloomSize, BloomSize)))));
}

double BloomAt(const Image& bloom, int x, int y, int sceneWidth, int sceneHeight)
{
    const double u = (x + 0.5) / sceneWidth * bloom.width - 0.5;
    const double v = (y + 0.5) / sceneHeight * bloom.height - 0.5;
    const int i = static_cast<int>(std::floor(u));
    const int j = static_cast<int>(std::floor(v));
    const double fu = u - i;
    const double fv = v - j;
    auto texel = [&](int a, int b) {
        return bloom.At(std::clamp(a, 0, bloom.width - 1), std::clamp(b, 0, bloom.height - 1));
    };
    return (1 - fv) * ((1 - fu) * texel(i, j) + fu * texel(i + 1, j)) +
           fv * ((1 - fu) * texel(i, j + 1) + fu * texel(i + 1, j + 1));
}

double ToneMap(double x)
{
    return std::clamp(x * (2.51 * x + 0.03) / (x * (2.43 * x + 0.59) + 0.14), 0.0, 1.0);
}

double Display(double scene, double bloom, double adapted)
{
    return ToneMap((scene + bloom) * ExposureKey / std::max(adapted, MinimumAdaptedLuminance));
}
}
