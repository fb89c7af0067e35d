// SPDX-License-Identifier: MIT
// The sizes the frame renders at: the scene target with the tone-mapped picture, and the square
// water images. Free of GL, so the rule is checked with numbers.
#pragma once

#include "platform/DisplaySettings.h"

struct RenderTargetSizes
{
    int sceneWidth;
    int sceneHeight;
    int waterSize;

    bool operator==(const RenderTargetSizes& other) const
    {
        return sceneWidth == other.sceneWidth && sceneHeight == other.sceneHeight && waterSize == other.waterSize;
    }
};

// Specified: 1024 x 768 and 1024, whatever the window. Window: the scene at the drawable's size
// and the water images at the least power of two not below its longer side. The best picture, at
// either render size: the scene at the drawable's size and the water images a fifth larger than
// its longer side. No side beyond `textureLimit`, the largest texture and renderbuffer the driver
// takes. The drawable has an area.
RenderTargetSizes ChooseRenderTargetSizes(RenderSize renderSize, Picture picture, int drawableWidth,
                                          int drawableHeight, int textureLimit);
