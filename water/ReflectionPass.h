// SPDX-License-Identifier: MIT
// The reflection image: the terrain above the water and the sky, seen by the camera mirrored in
// the water plane, rendered into ReflectionTexture for the water surface to show.
#pragma once

// Leaves the window's framebuffer bound, the target's 1024 x 1024 viewport set and the
// model-view matrix selected.
void RenderReflectionPass();
