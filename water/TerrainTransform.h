// SPDX-License-Identifier: MIT
// Where the terrain stands in the world, and its draw: its 150-unit square scaled by 5 in x and
// z, centred on the origin and turned with the scene. Every pass places the terrain (and the sky
// box) with it, so terrain, sky and water line up in the reflection, the refraction and the main
// view.
#pragma once

#include "scene/Terrain.h"

// Horizontal scale of the terrain; heights are not scaled, so the water plane y = 0 is the same
// plane in the terrain's own coordinates and in the world.
constexpr float TerrainScale = 5.0f;

// The main view shows the terrain this much higher than the water images do, so that the
// waterline the viewer sees falls where the refraction image already holds terrain under water.
constexpr float MainViewTerrainLift = 0.5f;

// Multiplies the terrain's model transform onto the current matrix; the scale in x and z is
// TerrainScale plus the given amounts.
void ApplyTerrainTransform(float scaleAddX, float scaleAddZ);
// What every pass adds to the scale: terrain, sky and water line up only at the one scale.
constexpr float NoExtraScale = 0.0f;

// The triangles the terrain mesh holds in GenerateTerrainByWater's order; until this is called,
// the mesh counts as one group that every part draws whole.
void SetTerrainWaterSplit(const TerrainWaterSplit& split);

enum class TerrainPart
{
    Whole,
    AboveWater,  // every triangle that reaches y >= 0
    UnderWater,  // every triangle that reaches y <= 0
    // every triangle that reaches y >= -MainViewTerrainLift: what can show above the water's
    // surface in the main view, which raises the terrain by that much
    RaisedOverWater,
};

// Draws the terrain mesh, or the part of it a pass's clip plane keeps, under the current
// transform and programs.
void DrawTerrain(TerrainPart part = TerrainPart::Whole);
