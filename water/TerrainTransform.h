// Where the terrain stands in the world, and its draw: its 150-unit square scaled by 5 in x and
// z, centred on the origin and turned with the scene. Every pass places the terrain (and the sky
// box) with it, so terrain, sky and water line up in the reflection, the refraction and the main
// view.
#pragma once

// Horizontal scale of the terrain; heights are not scaled, so the water plane y = 0 is the same
// plane in the terrain's own coordinates and in the world.
constexpr float TerrainScale = 5.0f;

// Multiplies the terrain's model transform onto the current matrix; the scale in x and z is
// TerrainScale plus the given amounts.
void ApplyTerrainTransform(float scaleAddX, float scaleAddZ);

// Draws the whole terrain mesh under the current transform and programs.
void DrawTerrain();
