// SPDX-License-Identifier: MIT
// The colour of the sky in a direction: a blue dome that pales to a hazy horizon, a low sun with
// its glow, soft clouds, and a darker sea haze below the horizon.
#pragma once

#include "Colour.h"
#include "Vec3.h"

// `direction` is a unit vector, y up.
Colour SkyColour(const Vec3& direction);
