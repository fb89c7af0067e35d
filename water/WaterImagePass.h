// SPDX-License-Identifier: MIT
// What the reflection and refraction passes share: the off-screen target with one of the two
// water images attached and cleared, the camera's view of the terrain, and the terrain drawn
// with a pair of water programs whose clip plane keeps the image's side of the water.
#pragma once

#include "camera/CCamera.h"
#include "water/TerrainTransform.h"

#include <epoxy/gl.h>

// Renders into `image` from here on, with the target's viewport, the window's aspect and the
// camera's `view` under the terrain's placement on the model-view matrix.
void BeginWaterImage(GLuint image, CCamera::ViewMode view);

// Draws `part` of the terrain between `bindPrograms` and `unbindPrograms`, clipped to the side
// of the water plane that the programs' Plane0 keeps.
void DrawClippedTerrain(TerrainPart part, void (*bindPrograms)(), void (*unbindPrograms)());
