// SPDX-License-Identifier: MIT
#include "app/RenderTargetSizes.h"

#include <algorithm>

namespace
{
constexpr RenderTargetSizes SpecifiedSizes = {1024, 768, 1024};

int PowerOfTwoNotBelow(int length)
{
    int power = 1;
    while (power < length)
        power *= 2;
    return power;
}
}

RenderTargetSizes ChooseRenderTargetSizes(RenderSize renderSize, int drawableWidth, int drawableHeight,
                                          int textureLimit)
{
    if (renderSize == RenderSize::Specified)
        return SpecifiedSizes;
    // The water images are sampled where the window's pixels fall on them: at a power of two at
    // least as large as the window, every pixel has a texel of its own.
    return RenderTargetSizes{std::min(drawableWidth, textureLimit), std::min(drawableHeight, textureLimit),
                             std::min(PowerOfTwoNotBelow(std::max(drawableWidth, drawableHeight)), textureLimit)};
}
