// SPDX-License-Identifier: MIT
// Order statistics of a set of timings: robust to the odd slow frame a busy machine produces.
#pragma once

#include <vector>

// The median and the quartiles around it; all zero for no samples.
struct Spread
{
    double median = 0.0;
    double lowerQuartile = 0.0;
    double upperQuartile = 0.0;
};

// The value below which `fraction` of the samples lie, interpolated linearly between the two
// nearest order statistics (0 gives the smallest sample, 1 the largest).
double Quantile(std::vector<double> samples, double fraction);

Spread SpreadOf(const std::vector<double>& samples);
