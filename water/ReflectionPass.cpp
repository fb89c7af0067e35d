// SPDX-License-Identifier: MIT
#include "water/ReflectionPass.h"

#include "scene/CSkyBox.h"
#include "scene/Textures.h"
#include "water/CRenderTexture.h"
#include "water/WaterImagePass.h"
#include "water/WaterPrograms.h"

void RenderReflectionPass()
{
    BeginWaterImage(ReflectionTexture, CCamera::MirroredView);
    // The above-water programs' Plane0 keeps y >= 0.
    DrawClippedTerrain(TerrainPart::AboveWater, BindAboveWaterPrograms, UnbindAboveWaterPrograms);
    SkyBox.Draw();
    RenderTexture.Unbind();
}
