// SPDX-License-Identifier: MIT
// The two water images as named targets: the reflection and the refraction, whose alpha says
// how far the surface may bend its view of the terrain (1 where the image holds no terrain).
#pragma once

#include "hdr/NamedTarget.h"

void ForEachWaterTarget(const TargetVisitor& visit);

// Makes the two images and their depth storage `size` texels square, unless they are already.
void ResizeWaterTargets(int size);
