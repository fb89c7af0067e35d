// SPDX-License-Identifier: MIT
// The one perspective every view of the scene uses: 45 degrees vertically, near 0.1, far 10000.
#pragma once

constexpr double FieldOfViewDegrees = 45.0;
constexpr double NearPlane = 0.1;
constexpr double FarPlane = 10000.0;

// Selects the projection matrix and loads the perspective for a view of the given aspect
// (width over height, divided in floating point). A zero height, as a minimised window
// reports, falls back to a square aspect so that no matrix fills with infinities.
void LoadPerspective(double aspectWidth, double aspectHeight);
