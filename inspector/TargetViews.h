// SPDX-License-Identifier: MIT
// Every intermediate image the inspector can show over the window: each named target of the
// water and the HDR chain, in the order a frame fills them, and the refraction's alpha besides
// its colour.
#pragma once

#include "hdr/NamedTarget.h"

#include <string>
#include <vector>

// How the display program maps a target's texels (see CG/FP_TargetView.cg).
enum class ViewMode
{
    Colour = 0,
    AlphaAsGrey = 1,
    LogLuminanceAsGrey = 2,
    LuminanceAsGrey = 3,
};

struct TargetView
{
    std::string name;
    NamedTarget target;
    ViewMode mode;
};

// Visits the targets as they stand: before the scene starts, with names only.
std::vector<TargetView> ListTargetViews();
// The index of the view called `name` in ListTargetViews(), or -1.
int FindTargetView(const std::vector<TargetView>& views, const std::string& name);
