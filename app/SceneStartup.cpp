// Scene start-up and shutdown: every component comes up once, in the order later steps rely on,
// and goes down once after the message loop. Nothing here tests a result: each component
// reports its own failure, and start-up goes on with the next step.
#include "app/Scene.h"

#include "camera/CCamera.h"
#include "camera/Projection.h"
#include "camera/ViewState.h"
#include "hdr/CHDRPostProcess.h"
#include "inspector/CInspector.h"
#include "platform/CWindow.h"
#include "platform/MessageBox.h"
#include "scene/CSkyBox.h"
#include "scene/CVertexBuffer.h"
#include "scene/Terrain.h"
#include "scene/Textures.h"
#include "shader/GlslDialect.h"
#include "water/CRenderTexture.h"
#include "water/MainScenePass.h"
#include "water/TerrainTransform.h"
#include "water/WaterPrograms.h"
#include "water/WaterTargets.h"

#include <epoxy/gl.h>

#include <vector>

namespace
{
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

void InitScene()
{
    MainWindow.CreateContext();
    SetGlobalRenderState();
    LoadPerspective(WindowSize.width, WindowSize.height);
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
    Inspector.Release();
    RenderTexture.Destroy(false);
    TerrainMesh.Release();
    ReleaseWaterGrid();
    DestroyShaderContext();
    HDRPostProcess.Destroy();
}
