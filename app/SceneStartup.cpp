// SPDX-License-Identifier: MIT
// Scene start-up and shutdown: every component comes up once, in the order later steps rely on,
// and goes down once after the message loop. Nothing here tests a result: each component
// reports its own failure, and start-up goes on with the next step.
#include "app/Scene.h"

#include "app/ISceneOverlay.h"
#include "camera/CCamera.h"
#include "camera/Projection.h"
#include "camera/ViewState.h"
#include "hdr/CHDRPostProcess.h"
#include "platform/CWindow.h"
#include "platform/DataFolder.h"
#include "platform/MessageBox.h"
#include "scene/CSkyBox.h"
#include "scene/CVertexBuffer.h"
#include "scene/Terrain.h"
#include "scene/Textures.h"
#include "shader/CShaderContext.h"
#include "shader/GlslDialect.h"
#include "water/CRenderTexture.h"
#include "water/MainScenePass.h"
#include "water/TerrainTransform.h"
#include "water/WaterPrograms.h"
#include "water/WaterTargets.h"

#include <epoxy/gl.h>

#include <filesystem>
#include <vector>

namespace
{
// Every file that start-up reads, relative to the data folder.
const std::vector<std::string> DataFiles = {
    "CG/VP_Underwater.cg", "CG/FP_Underwater.cg", "CG/VP_AboveWater.cg", "CG/FP_AboveWater.cg",
    "CG/VP_WaterPlane.cg", "CG/FP_WaterPlane.cg", "CG/HDR_FX.cgfx",      "TerrainMaterial.bmp",
    "norm.bmp",            "heigth.bmp",          "norm1.bmp",           "height1.bmp",
    "skybox.bmp"};

constexpr int RenderTargetSize = 1024;
constexpr float SkyBoxEdge = 1500.0f;

void SetGlobalRenderState()
{
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
}

// The terrain exists on the CPU only for as long as the upload takes.
void CreateTerrainMesh()
{
    std::vector<float> vertices(TerrainVertexCount * 3);
    std::vector<float> texCoords(TerrainVertexCount * 2);
    const TerrainWaterSplit split = GenerateTerrainByWater(vertices.data(), texCoords.data(), MainViewTerrainLift);
    LoadBufferFunctions();
    TerrainMesh.Generate();
    TerrainMesh.Create(TerrainVertexCount, vertices.data(), static_cast<int>(TerrainPositionBytes), texCoords.data(),
                       static_cast<int>(TerrainTexCoordBytes));
    SetTerrainWaterSplit(split);
}

// The programs need GLSL 3.30 with separate shader objects at least. A driver without them is
// told once what is missing, and the scene goes on with what drawing without programs shows.
bool ShadingLanguageAvailable()
{
    const GlslDialect dialect = CurrentGlslDialect();
    if (!dialect.Supported())
        MessageBox(nullptr, dialect.shortfall, "Driver too old!", MB_OK);
    return dialect.Supported();
}

void CreateSkyBox()
{
    SkyBox.Load();
    SkyBox.SetPosition(Vector3(0.0f, 0.0f, 0.0f));
    SkyBox.SetSize(SkyBoxEdge);
}

void LabelRenderTargets()
{
    ForEachWaterTarget(LabelTarget);
    HDRPostProcess.ForEachTarget(LabelTarget);
}
}

bool EnterDataFolder()
{
    namespace fs = std::filesystem;
    // Either folder may be gone: its path is then empty, and it is not searched.
    std::error_code gone;
    const std::string working = fs::current_path(gone).string();
    const std::string executable = fs::read_symlink("/proc/self/exe", gone).parent_path().string();
    std::string report;
    const std::string folder = FindDataFolder(DataFolderCandidates(working, executable), DataFiles, report);
    std::error_code refused;
    if (!folder.empty())
        fs::current_path(folder, refused);
    if (!folder.empty() && !refused)
        return true;
    MessageBox(nullptr, folder.empty() ? report : folder + ": " + refused.message(), "Files missing", MB_OK);
    return false;
}

void InitScene()
{
    MainWindow.CreateContext();
    SetGlobalRenderState();
    LoadPerspective(DrawableSize.width, DrawableSize.height);
    LoadFramebufferEntryPoints();
    RenderTexture.Create(RenderTargetSize, RenderTargetSize);
    CreateTerrainMesh();
    CreateWaterGrid();
    LoadTextures();
    if (ShadingLanguageAvailable())
        CreateShaderContext();
    Camera.Reset();
    CreateSkyBox();
    HDRPostProcess.Init(ShaderContext);
    LabelRenderTargets();
}

void ShutdownScene()
{
    SceneOverlay().Release();
    RenderTexture.Destroy(CRenderTexture::KeepTexture);
    TerrainMesh.Release();
    ReleaseWaterGrid();
    DestroyShaderContext();
    HDRPostProcess.Destroy();
}
