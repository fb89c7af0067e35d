// SPDX-License-Identifier: MIT
// The terrain's ground texture: a tileable mottled mix of grass, earth, sand and rock.
#pragma once

#include "Picture.h"

// A square picture of `size` pixels (a power of two) that repeats without seams.
Picture MakeTerrainMaterial(int size);
