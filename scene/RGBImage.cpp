// SPDX-License-Identifier: MIT
#include "scene/RGBImage.h"

#include <cstdlib>

void FreeRGBImage(RGBImage* image)
{
    if (image == nullptr)
        return;
    std::free(image->data);
    std::free(image);
}
