// SPDX-License-Identifier: MIT
// The refraction image: the terrain under the water, tinted by the water above it, seen by the
// normal camera and rendered into RefractionTexture for the water surface to show. Where no
// terrain under water is in view the image keeps its white clear colour.
#pragma once

// Leaves the window's framebuffer bound, the water target's viewport set (the images' size:
// 1024 x 1024, or what the window render size makes them) and the model-view matrix selected.
void RenderRefractionPass();
