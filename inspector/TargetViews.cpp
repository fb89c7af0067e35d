// SPDX-License-Identifier: MIT
#include "inspector/TargetViews.h"

#include "hdr/CHDRPostProcess.h"
#include "water/WaterTargets.h"

namespace
{
ViewMode ModeOf(TargetEncoding encoding)
{
    switch (encoding)
    {
    case TargetEncoding::LogLuminance: return ViewMode::LogLuminanceAsGrey;
    case TargetEncoding::Luminance: return ViewMode::LuminanceAsGrey;
    default: return ViewMode::Colour;
    }
}
}

std::vector<TargetView> ListTargetViews()
{
    std::vector<TargetView> views;
    const TargetVisitor add = [&views](const NamedTarget& target) {
        views.push_back(TargetView{target.label, target, ModeOf(target.encoding)});
        if (target.encoding == TargetEncoding::ColourAlpha)
            views.push_back(TargetView{std::string(target.label) + "_alpha", target, ViewMode::AlphaAsGrey});
    };
    ForEachWaterTarget(add);
    HDRPostProcess.ForEachTarget(add);
    return views;
}

int FindTargetView(const std::vector<TargetView>& views, const std::string& name)
{
    for (size_t i = 0; i < views.size(); ++i)
        if (views[i].name == name)
            return static_cast<int>(i);
    return -1;
}
