// SPDX-License-Identifier: MIT
#include "water/RefractionPass.h"

#include "camera/CCamera.h"
#include "camera/ViewState.h"
#include "scene/Textures.h"
#include "water/CRenderTexture.h"
#include "water/TerrainTransform.h"
#include "water/WaterPrograms.h"

#include <epoxy/gl.h>

void RenderRefractionPass()
{
    RenderTexture.Bind(RefractionTexture);
    RenderTexture.SetupView(static_cast<float>(DrawableSize.width), static_cast<float>(DrawableSize.height), 1.0f,
                            1.0f, 1.0f);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    Camera.ApplyView(false, CCamera::NormalView);
    ApplyTerrainTransform(0.0f, 0.0f);

    // The plane itself comes from the vertex program's clip distance (Plane0 keeps y <= 0).
    glEnable(GL_CLIP_PLANE0);
    glEnable(GL_TEXTURE_2D);
    BindUnderwaterPrograms();
    DrawTerrain(TerrainPart::UnderWater);
    glDisable(GL_CLIP_PLANE0);
    UnbindUnderwaterPrograms();

    RenderTexture.Unbind();
}
