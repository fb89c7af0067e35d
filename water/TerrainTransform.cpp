#include "water/TerrainTransform.h"

#include "app/Globals.h"
#include "scene/CVertexBuffer.h"
#include "scene/Terrain.h"

#include <epoxy/gl.h>

void ApplyTerrainTransform(float scaleAddX, float scaleAddZ)
{
    constexpr float Centre = -TerrainExtent / 2;
    glRotatef(-SceneRotation.horizontal, 0.0f, 1.0f, 0.0f);
    glScalef(TerrainScale + scaleAddX, 1.0f, TerrainScale + scaleAddZ);
    glTranslatef(Centre, 0.0f, Centre);
}

void DrawTerrain()
{
    EnableArrays();
    TerrainMesh.Bind();
    TerrainMesh.Draw(TerrainVertexCount);
    DisableArrays();
}
