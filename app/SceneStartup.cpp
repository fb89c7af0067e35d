// Scene start-up and shutdown: every component comes up once, in the order later steps rely on,
// and goes down once after the message loop. Nothing here tests a result: each component
// reports its own failure, and start-up goes on with the next step.
#include "app/Scene.h"

#include "app/Globals.h"
#include "camera/Projection.h"
#include "platform/CWindow.h"
#include "scene/Terrain.h"
#include "scene/Textures.h"
#include "water/WaterPrograms.h"

#include <epoxy/gl.h>

#include <vector>

CWindow MainWindow;

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
    GenerateTerrain(vertices.data(), texCoords.data());
    LoadBufferFunctions();
    TerrainMesh.Generate();
    TerrainMesh.Create(TerrainVertexCount, vertices.data(), static_cast<int>(TerrainPositionBytes), texCoords.data(),
                       static_cast<int>(TerrainTexCoordBytes));
}

void CreateSkyBox()
{
    SkyBox.Load();
    SkyBox.SetPosition(Vector3(0.0f, 0.0f, 0.0f));
    SkyBox.SetSize(SkyBoxEdge);
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
    LoadTextures();
    CreateShaderContext();
    Camera.Reset();
    CreateSkyBox();
    HDRPostProcess.Init(ShaderContext);
}

void ShutdownScene()
{
    RenderTexture.Destroy(false);
    TerrainMesh.Release();
    DestroyShaderContext();
    HDRPostProcess.Destroy();
}
