// SPDX-License-Identifier: MIT
// The water's two wave layers: tileable height maps and the normal maps derived from them.
#pragma once

#include "Picture.h"

#include <vector>

// Wave heights 0..1 on a square that repeats without seams, bottom row first.
struct HeightField
{
    int size = 0;
    float relief = 1.0f; // texels of height that the range 0..1 stands for: how far normals tilt
    std::vector<float> heights;

    float At(int x, int y) const; // wraps around at the edges
};

// Layer 0 holds long swell, layer 1 shorter waves that cross it at another angle.
HeightField MakeWaveHeights(int layer, int size);

// Heights as grey.
Picture HeightPicture(const HeightField& field);

// Normals from wrapped central differences, as RGB = n * 0.5 + 0.5 with x along the rows, y up
// the picture and z, the surface's up, in blue.
Picture NormalPicture(const HeightField& field);
