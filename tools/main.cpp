// SPDX-License-Identifier: MIT
// Writes the six images of the run folder: the terrain material, the two pairs of wave normal
// and height maps, and the sky-box atlas. The same files come out on every run.
#include "BmpWriter.h"
#include "SkyAtlas.h"
#include "TerrainMaterial.h"
#include "WaterMaps.h"

#include <iostream>
#include <string>
#include <utility>
#include <vector>

namespace
{
constexpr int TextureSize = 512;
}

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::cerr << "usage: merrowind-assets <run folder>\n";
        return 2;
    }
    const std::string folder = argv[1];
    const HeightField waves0 = MakeWaveHeights(0, TextureSize);
    const HeightField waves1 = MakeWaveHeights(1, TextureSize);
    const std::vector<std::pair<std::string, Picture>> images{
        {"TerrainMaterial.bmp", MakeTerrainMaterial(TextureSize)},
        {"norm.bmp", NormalPicture(waves0)},
        {"heigth.bmp", HeightPicture(waves0)},
        {"norm1.bmp", NormalPicture(waves1)},
        {"height1.bmp", HeightPicture(waves1)},
        {"skybox.bmp", MakeSkyAtlas()},
    };
    for (const auto& [name, picture] : images)
    {
        if (!WriteBmp(folder + "/" + name, picture))
        {
            std::cerr << "merrowind-assets: cannot write " << folder << "/" << name << "\n";
            return 1;
        }
    }
    return 0;
}
