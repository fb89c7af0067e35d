// SPDX-License-Identifier: MIT
#include "water/MainScenePass.h"

#include "camera/CCamera.h"
#include "camera/EyePosition.h"
#include "camera/Projection.h"
#include "camera/ViewState.h"
#include "scene/CSkyBox.h"
#include "scene/CVertexBuffer.h"
#include "scene/Textures.h"
#include "water/TerrainTransform.h"
#include "water/WaterGrid.h"
#include "water/WaterPrograms.h"

#include <epoxy/gl.h>

#include <vector>

namespace
{
// The water surface over the terrain's whole square and over its lakes alone, both uploaded once.
CVertexBuffer WaterGrid;
CVertexBuffer LakeWater;
bool multisampledTarget = false;

void Upload(CVertexBuffer& buffer, const WaterGridMesh& mesh)
{
    std::vector<float> positions, texCoords;
    positions.reserve(mesh.vertices.size() * 3);
    texCoords.reserve(mesh.vertices.size() * 2);
    for (const WaterGridVertex& v : mesh.vertices)
    {
        positions.insert(positions.end(), {v.x, v.y, v.z});
        texCoords.insert(texCoords.end(), {v.s, v.t});
    }
    buffer.Generate();
    buffer.CreateIndexed(static_cast<int>(mesh.vertices.size()), positions.data(),
                         static_cast<int>(positions.size() * sizeof(float)), texCoords.data(),
                         static_cast<int>(texCoords.size() * sizeof(float)), mesh.indices);
}

// The grid's model transform: the terrain's without the scale, so the grid's 0 to 750 spans the
// terrain's -375 to 375 in the world.
void ApplyWaterGridTransform()
{
    constexpr float Centre = -WaterGridSize / 2.0f;
    glRotatef(-SceneRotation.horizontal, 0.0f, 1.0f, 0.0f);
    glTranslatef(Centre, 0.0f, Centre);
}

void LoadViewOfCamera()
{
    LoadPerspective(DrawableSize.width, DrawableSize.height);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

Vector3 EyeInGridCoordinates()
{
    LoadViewOfCamera();
    ApplyWaterGridTransform();
    const Vector3 eye = GetEyePosition(Camera);
    glLoadIdentity();
    return eye;
}

void DrawWaterGrid()
{
    const CVertexBuffer& surface = multisampledTarget ? LakeWater : WaterGrid;
    EnableArrays();
    surface.Bind();
    surface.Draw(surface.indexCount);
    DisableArrays();
}

// Fixed-function texturing, or in the best picture the reflection's terrain programs, which draw
// the same plain material filtered along each pixel's footprint.
void DrawMainViewTerrain()
{
    const bool programs = FootprintFilterInUse();
    if (programs)
        BindMainViewTerrainPrograms();
    DrawTerrain(TerrainPart::RaisedOverWater);
    if (programs)
        UnbindAboveWaterPrograms();
}

// Lays down the terrain's depth, pushed back a little, before the water: the costly water
// fragments that the terrain covers anyway then fail the depth test before they are shaded. The
// terrain drawn after the sky still passes every depth test the pushed-back copy left, so the
// picture is the one drawing in order alone gives. It writes no colour, so fixed-function
// texturing draws it in either picture.
void PrimeDepthWithTerrain()
{
    glPushMatrix();
    Camera.ApplyView(CCamera::OntoCurrentMatrix, CCamera::NormalView);
    ApplyTerrainTransform(NoExtraScale, NoExtraScale);
    glTranslatef(0.0f, MainViewTerrainLift, 0.0f);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1.0f, 1.0f);
    DrawTerrain(TerrainPart::RaisedOverWater);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glPopMatrix();
}

void DrawWaterSurface(const Vector3& eye)
{
    Camera.ApplyView(CCamera::OntoCurrentMatrix, CCamera::NormalView);
    ApplyWaterGridTransform();
    BindWaterPlanePrograms(eye.x, eye.y, eye.z);
    glEnable(GL_TEXTURE_2D);
    DrawWaterGrid();
    UnbindWaterPlanePrograms();
}

// The lake beds that stay below the
// water even when raised never show through the opaque surface and are not drawn; under the
// surface, what is drawn is hidden by the depth test, not clipped.
void DrawSkyAndTerrain()
{
    LoadViewOfCamera();
    Camera.ApplyView(CCamera::OntoCurrentMatrix, CCamera::NormalView);
    ApplyTerrainTransform(NoExtraScale, NoExtraScale);
    SkyBox.Draw();
    glTranslatef(0.0f, MainViewTerrainLift, 0.0f);
    glBindTexture(GL_TEXTURE_2D, TerrainMaterialTexture);
    DrawMainViewTerrain();
}
}

void CreateWaterGrid()
{
    LoadBufferFunctions();
    Upload(WaterGrid, MakeWaterGridMesh());
    Upload(LakeWater, MakeLakeWaterMesh());
}

void ReleaseWaterGrid()
{
    WaterGrid.Release();
    LakeWater.Release();
}

void DrawMainSceneMultisampled(bool multisampled)
{
    multisampledTarget = multisampled;
}

void RenderMainScene()
{
    const Vector3 eye = EyeInGridCoordinates();
    if (!multisampledTarget)
        PrimeDepthWithTerrain();
    DrawWaterSurface(eye);
    DrawSkyAndTerrain();
}
