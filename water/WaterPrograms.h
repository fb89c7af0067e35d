// SPDX-License-Identifier: MIT
// The three program pairs of the water scene (terrain under water, terrain above water, water
// surface) in the one shading context of the process, which the HDR effect shares.
#pragma once

#include "shader/Cg.h"
#include "water/WaterSettings.h"

// What the water programs draw with; a change reaches them when they are next bound.
extern WaterSettings waterSettings;

void CreateShaderContext();
void DestroyShaderContext();

void LoadUnderwaterPrograms();
void LoadAboveWaterPrograms();
void LoadWaterPlanePrograms();

void BindUnderwaterPrograms();
void UnbindUnderwaterPrograms();
void BindAboveWaterPrograms();
void UnbindAboveWaterPrograms();
// The above-water pair for the best picture's main view: the same terrain, clipped nowhere;
// UnbindAboveWaterPrograms ends it.
void BindMainViewTerrainPrograms();
// Whether the terrain and wave maps are filtered along each pixel's footprint, as the best picture
// has them (see CG/FP_AboveWater.cg); the programs take it when they are next bound.
void UseFootprintFilter(bool filter);
bool FootprintFilterInUse();
// The moment the water surface shows, in seconds since the first frame; the frame sets it once
// before it draws, so a second binding within a frame draws the same waves.
void SetWaterTime(double seconds);
void BindWaterPlanePrograms(float eyeX, float eyeY, float eyeZ);
void UnbindWaterPlanePrograms();
