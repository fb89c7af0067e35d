// The viewer's picture of the scene, drawn into whatever framebuffer is bound: the water surface
// showing this frame's reflection and refraction images, then the sky box and the terrain.
#pragma once

// Sets both matrices itself, but no viewport. Leaves the model-view matrix selected, with the
// camera's view and the terrain's placement on it.
void RenderMainScene();
