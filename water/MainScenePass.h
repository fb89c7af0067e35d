// SPDX-License-Identifier: MIT
// The viewer's picture of the scene, drawn into whatever framebuffer is bound: the water surface
// showing this frame's reflection and refraction images, then the sky box and the terrain.
#pragma once

// The water grid's buffers: made once at start-up with the other meshes, released at shutdown.
void CreateWaterGrid();
void ReleaseWaterGrid();
// Whether the main scene lands in a multisampled target, as in the best picture. A processor
// renderer tests such a target's depth only after shading, so the terrain's depth laid down
// before the water would spare none of its fragments and cost a pass of its own: the pass is left
// out, and the water is drawn over the lakes alone (MakeLakeWaterMesh) instead of the whole square.
void DrawMainSceneMultisampled(bool multisampled);

// Sets both matrices itself, but no viewport. Leaves the model-view matrix selected, with the
// camera's view and the terrain's placement on it.
void RenderMainScene();
