// SPDX-License-Identifier: MIT
#include "water/WaterImagePass.h"

#include "camera/ViewState.h"
#include "water/CRenderTexture.h"

namespace
{
struct ClearColour
{
    float red, green, blue;
};

// What a water image shows where no terrain (and no sky) is drawn: opaque white.
constexpr ClearColour WaterImageClear{1.0f, 1.0f, 1.0f};
}

void BeginWaterImage(GLuint image, CCamera::ViewMode view)
{
    RenderTexture.Bind(image);
    RenderTexture.SetupView(static_cast<float>(DrawableSize.width), static_cast<float>(DrawableSize.height),
                            WaterImageClear.red, WaterImageClear.green, WaterImageClear.blue);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    Camera.ApplyView(CCamera::OntoCurrentMatrix, view);
    ApplyTerrainTransform(NoExtraScale, NoExtraScale);
}

void DrawClippedTerrain(TerrainPart part, void (*bindPrograms)(), void (*unbindPrograms)())
{
    // The plane itself comes from the vertex program's clip distance.
    glEnable(GL_CLIP_PLANE0);
    glEnable(GL_TEXTURE_2D);
    bindPrograms();
    DrawTerrain(part);
    glDisable(GL_CLIP_PLANE0);
    unbindPrograms();
}
