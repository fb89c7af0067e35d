#include "water/WaterTargets.h"

#include "app/Globals.h"
#include "scene/Textures.h"

void ForEachWaterTarget(const TargetVisitor& visit)
{
    visit(NamedTarget{"reflection", ReflectionTexture, RenderTexture.width, RenderTexture.height,
                      TargetEncoding::Colour});
    visit(NamedTarget{"refraction", RefractionTexture, RenderTexture.width, RenderTexture.height,
                      TargetEncoding::ColourAlpha});
}
