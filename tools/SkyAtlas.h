// SPDX-License-Identifier: MIT
// The sky-box atlas: 768 x 1024 pixels in cells of 256 rows, each used cell holding one face of
// the cube as the sky box draws it from that cell. Every texel shows the sky in the direction
// from the cube's centre through the point of the face it lands on, so the faces meet without
// seams at the cube's edges.
#pragma once

#include "Picture.h"

Picture MakeSkyAtlas();
