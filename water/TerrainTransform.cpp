// SPDX-License-Identifier: MIT
#include "water/TerrainTransform.h"

#include "camera/ViewState.h"
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

namespace
{
TerrainWaterSplit WaterSplit{0, TerrainVertexCount / 3, 0};

// Where the part's triangles end in the mesh, counted in vertices.
int PartEnd(TerrainPart part)
{
    const int crossingEnd = WaterSplit.aboveOnly + WaterSplit.crossing;
    switch (part)
    {
    case TerrainPart::AboveWater: return 3 * crossingEnd;
    case TerrainPart::RaisedOverWater: return 3 * (crossingEnd + WaterSplit.shallow);
    default: return TerrainVertexCount;
    }
}
}

void SetTerrainWaterSplit(const TerrainWaterSplit& split)
{
    WaterSplit = split;
}

void DrawTerrain(TerrainPart part)
{
    const int first = part == TerrainPart::UnderWater ? 3 * WaterSplit.aboveOnly : 0;
    const int end = PartEnd(part);
    EnableArrays();
    TerrainMesh.Bind();
    TerrainMesh.Draw(first, end - first);
    DisableArrays();
}
