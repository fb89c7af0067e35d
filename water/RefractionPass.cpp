// SPDX-License-Identifier: MIT
#include "water/RefractionPass.h"

#include "scene/Textures.h"
#include "water/CRenderTexture.h"
#include "water/WaterImagePass.h"
#include "water/WaterPrograms.h"

void RenderRefractionPass()
{
    BeginWaterImage(RefractionTexture, CCamera::NormalView);
    // The underwater programs' Plane0 keeps y <= 0.
    DrawClippedTerrain(TerrainPart::UnderWater, BindUnderwaterPrograms, UnbindUnderwaterPrograms);
    RenderTexture.Unbind();
}
