// SPDX-License-Identifier: MIT
// The viewer's picture of the scene, drawn into whatever framebuffer is bound: the water surface
// showing this frame's reflection and refraction images, then the sky box and the terrain.
#pragma once

// The water grid's buffers: made once at start-up with the other meshes, released at shutdown.
void CreateWaterGrid();
void ReleaseWaterGrid();
// Whether the water is drawn over the lakes alone (MakeLakeWaterMesh), as a multisampled target
// wants it, or over the terrain's whole square, as designed.
void DrawWaterOverLakesOnly(bool lakes);

// Sets both matrices itself, but no viewport. Leaves the model-view matrix selected, with the
// camera's view and the terrain's placement on it.
void RenderMainScene();
