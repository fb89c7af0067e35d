// SPDX-License-Identifier: MIT
// The motion measurement's figures as a table for people and one JSON line for scripts.
#pragma once

#include "MotionComparison.h"

#include <string>
#include <vector>

struct MotionResult
{
    std::string view;
    std::string picture;
    MotionFigures figures;
};

struct MotionFacts
{
    int steps = 0;
    float step = 0.0f;
    int width = 0;
    int height = 0;
    int factor = 0;  // the reference has factor x factor the pixels
};

void PrintMotionTable(const std::vector<MotionResult>& results, const MotionFacts& facts);
void PrintMotionJson(const std::vector<MotionResult>& results, const MotionFacts& facts);
