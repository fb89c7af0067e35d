// The three program pairs of the water scene (terrain under water, terrain above water, water
// surface) in the one shading context of the process, which the HDR effect shares.
#pragma once

#include "shader/Cg.h"
#include "water/WaterSettings.h"

// Frames drawn so far by the water surface; its programs' time is this count over 20.
extern float waterFrameCount;
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
void BindWaterPlanePrograms(float eyeX, float eyeY, float eyeZ);
void UnbindWaterPlanePrograms();
