// SPDX-License-Identifier: MIT
#include "water/WaterGrid.h"

#include <algorithm>

namespace
{
// Its four corners, then its two triangles, both facing up (+y).
void AddQuad(WaterGridMesh& mesh, int x0, int z0, int x1, int z1)
{
    const auto first = static_cast<std::uint32_t>(mesh.vertices.size());
    mesh.vertices.insert(mesh.vertices.end(), {MakeWaterGridVertex(x0, z1), MakeWaterGridVertex(x1, z1),
                                               MakeWaterGridVertex(x0, z0), MakeWaterGridVertex(x1, z0)});
    for (const std::uint32_t corner : {0u, 1u, 2u, 2u, 1u, 3u})
        mesh.indices.push_back(first + corner);
}

// The grid position of the terrain's corner line `cell`.
int GridPosition(int cell)
{
    return static_cast<int>(static_cast<float>(cell * TerrainStep) * TerrainScale);
}

// The terrain is flat between its corners, so the lowest point of a block is one of them,
// its edges included.
bool BlockReachesWater(int firstCellX, int firstCellZ)
{
    const int endX = std::min(firstCellX + LakeBlockCells, TerrainCellsPerSide);
    const int endZ = std::min(firstCellZ + LakeBlockCells, TerrainCellsPerSide);
    for (int x = firstCellX; x <= endX; ++x)
        for (int z = firstCellZ; z <= endZ; ++z)
            if (TerrainHeight(x * TerrainStep, z * TerrainStep) + MainViewTerrainLift <= 0.0f)
                return true;
    return false;
}
}

WaterGridMesh MakeWaterGridMesh()
{
    WaterGridMesh mesh;
    AddQuad(mesh, 0, 0, GridPosition(TerrainCellsPerSide), GridPosition(TerrainCellsPerSide));
    return mesh;
}

WaterGridMesh MakeLakeWaterMesh()
{
    WaterGridMesh mesh;
    for (int z = 0; z < TerrainCellsPerSide; z += LakeBlockCells)
    {
        const int endZ = std::min(z + LakeBlockCells, TerrainCellsPerSide);
        for (int x = 0; x < TerrainCellsPerSide; x += LakeBlockCells)
        {
            if (!BlockReachesWater(x, z))
                continue;
            const int runStart = x;
            while (x + LakeBlockCells < TerrainCellsPerSide && BlockReachesWater(x + LakeBlockCells, z))
                x += LakeBlockCells;
            AddQuad(mesh, GridPosition(runStart), GridPosition(z),
                    GridPosition(std::min(x + LakeBlockCells, TerrainCellsPerSide)), GridPosition(endZ));
        }
    }
    return mesh;
}
