// SPDX-License-Identifier: MIT
// The GL state matrices that programs read as parameters.
#pragma once

// Projection x model-view as they stand now, column-major, the matrix that takes object
// coordinates to clip coordinates.
void ReadModelViewProjection(float (&product)[16]);

// left x right, all column-major.
void MultiplyMatrices(const float (&left)[16], const float (&right)[16], float (&product)[16]);
