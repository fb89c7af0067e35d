// SPDX-License-Identifier: MIT
#include "Statistics.h"

#include <algorithm>
#include <cmath>

double Quantile(std::vector<double> samples, double fraction)
{
    if (samples.empty())
        return 0.0;
    std::sort(samples.begin(), samples.end());
    const double position = std::clamp(fraction, 0.0, 1.0) * static_cast<double>(samples.size() - 1);
    const size_t below = static_cast<size_t>(std::floor(position));
    const size_t above = std::min(below + 1, samples.size() - 1);
    const double weight = position - static_cast<double>(below);
    return samples[below] + (samples[above] - samples[below]) * weight;
}

Spread SpreadOf(const std::vector<double>& samples)
{
    return Spread{Quantile(samples, 0.5), Quantile(samples, 0.25), Quantile(samples, 0.75)};
}
