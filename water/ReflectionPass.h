// SPDX-License-Identifier: MIT
// The reflection image: the terrain above the water and the sky, seen by the camera mirrored in
// the water plane, rendered into ReflectionTexture for the water surface to show.
#pragma once

// Leaves the window's framebuffer bound, the water target's viewport set (the images' size:
// 1024 x 1024, or what the window render size makes them) and the model-view matrix selected.
void RenderReflectionPass();
