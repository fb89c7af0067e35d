#include "water/MainScenePass.h"

#include "app/Globals.h"
#include "camera/EyePosition.h"
#include "camera/Projection.h"
#include "scene/Textures.h"
#include "water/TerrainTransform.h"
#include "water/WaterGrid.h"
#include "water/WaterPrograms.h"

#include <epoxy/gl.h>

namespace
{
// The main view shows the terrain a little higher than the water images do, so that the
// waterline the viewer sees falls where the refraction image already holds terrain under water.
constexpr float TerrainLift = 0.5f;

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
    LoadPerspective(WindowSize.width, WindowSize.height);
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

// One draw from client arrays: they need no buffer object tied to the context, and the driver
// copies the grid's 0.9 MB in one go instead of taking 22,500 strips call by call.
void DrawWaterGrid()
{
    static const WaterGridMesh mesh = MakeWaterGridMesh();
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glClientActiveTexture(GL_TEXTURE0);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(WaterGridVertex), &mesh.vertices[0].x);
    glTexCoordPointer(2, GL_FLOAT, sizeof(WaterGridVertex), &mesh.vertices[0].s);
    glDrawRangeElements(GL_TRIANGLES, 0, static_cast<GLuint>(mesh.vertices.size() - 1),
                        static_cast<GLsizei>(mesh.indices.size()), GL_UNSIGNED_INT, mesh.indices.data());
    glPopClientAttrib();
}

// Lays down the terrain's depth, pushed back a little, before the water: the costly water
// fragments that the terrain covers anyway then fail the depth test before they are shaded. The
// terrain drawn after the sky still passes every depth test the pushed-back copy left, so the
// picture is the one drawing in order alone gives.
void PrimeDepthWithTerrain()
{
    glPushMatrix();
    Camera.ApplyView(false, CCamera::NormalView);
    ApplyTerrainTransform(0.0f, 0.0f);
    glTranslatef(0.0f, TerrainLift, 0.0f);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1.0f, 1.0f);
    DrawTerrain();
    glDisable(GL_POLYGON_OFFSET_FILL);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glPopMatrix();
}

void DrawWaterSurface(const Vector3& eye)
{
    Camera.ApplyView(false, CCamera::NormalView);
    ApplyWaterGridTransform();
    BindWaterPlanePrograms(eye.x, eye.y, eye.z);
    glEnable(GL_TEXTURE_2D);
    DrawWaterGrid();
    UnbindWaterPlanePrograms();
}

// Fixed-function texturing: the terrain under the water is hidden behind the surface by the
// depth test, not clipped.
void DrawSkyAndTerrain()
{
    LoadViewOfCamera();
    Camera.ApplyView(false, CCamera::NormalView);
    ApplyTerrainTransform(0.0f, 0.0f);
    SkyBox.Draw();
    glTranslatef(0.0f, TerrainLift, 0.0f);
    glBindTexture(GL_TEXTURE_2D, TerrainMaterialTexture);
    DrawTerrain();
}
}

void RenderMainScene()
{
    const Vector3 eye = EyeInGridCoordinates();
    PrimeDepthWithTerrain();
    DrawWaterSurface(eye);
    DrawSkyAndTerrain();
}
