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

RenderTargetSizes ChooseRenderTargetSizes(RenderSize renderSize, Picture picture, int drawableWidth,
                                          int drawableHeight, int textureLimit)
{
    if (renderSize == RenderSize::Specified && picture == Picture::Specified)
        return SpecifiedSizes;
    // The water images are sampled where the window's pixels fall on them: at a power of two at
    // least as large as the window, every pixel has a texel of its own. The best picture reads them
    // through their mip chains, and measured in motion against the supersampled reference, images
    // a fifth larger than the window's longer side were as steady as the next power of two (at
    // 640 x 480: 768 against 1024), at half the texels to draw; at the window's own size they were
    // a little less steady.
    const int longerSide = std::max(drawableWidth, drawableHeight);
    const int waterSize = picture == Picture::Best ? longerSide + longerSide / 5 : PowerOfTwoNotBelow(longerSide);
    return RenderTargetSizes{std::min(drawableWidth, textureLimit), std::min(drawableHeight, textureLimit),
                             std::min(waterSize, textureLimit)};
}
