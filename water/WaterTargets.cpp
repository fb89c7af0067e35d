// SPDX-License-Identifier: MIT
#include "water/WaterTargets.h"

#include "scene/Textures.h"
#include "water/CRenderTexture.h"

void ForEachWaterTarget(const TargetVisitor& visit)
{
    visit(NamedTarget{"reflection", ReflectionTexture, RenderTexture.width, RenderTexture.height,
                      TargetEncoding::Colour});
    visit(NamedTarget{"refraction", RefractionTexture, RenderTexture.width, RenderTexture.height,
                      TargetEncoding::ColourAlpha});
}

void ResizeWaterTargets(int size)
{
    if (RenderTexture.width == size && RenderTexture.height == size)
        return;
    RenderTexture.Resize(size, size);
    ResizeRenderTextures(size);
}
