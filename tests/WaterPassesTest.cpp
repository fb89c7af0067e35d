// The reflection, refraction and main scene passes over the real terrain, sky box and programs:
// what each image holds on either side of the water plane, how the water reads the reflection,
// and the state the passes leave.
#include "GlContext.h"

#include "app/Globals.h"
#include "scene/Terrain.h"
#include "scene/Textures.h"
#include "water/MainScenePass.h"
#include "water/ReflectionPass.h"
#include "water/RefractionPass.h"
#include "water/WaterPrograms.h"

#include <cmath>
#include <filesystem>

namespace
{
constexpr int ImageSize = 1024;

// The terrain, its textures, the sky box and the render target, made once for the whole run.
void StartWaterScene()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    RenderTexture.Create(ImageSize, ImageSize);
    std::vector<float> positions(TerrainVertexCount * 3);
    std::vector<float> texCoords(TerrainVertexCount * 2);
    GenerateTerrain(positions.data(), texCoords.data());
    TerrainMesh.Generate();
    TerrainMesh.Create(TerrainVertexCount, positions.data(), TerrainPositionBytes, texCoords.data(),
                       TerrainTexCoordBytes);
    LoadTextures();
    SkyBox.Load();
    SkyBox.SetSize(1500.0f);
}

// A texture one texel wide, from RGBA rows given bottom first.
GLuint MakeTexture(std::vector<unsigned char> rgbaRows)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, static_cast<GLsizei>(rgbaRows.size() / 4), 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, rgbaRows.data());
    return texture;
}

// How many texels of the 1024 x 1024 image satisfy `matches`.
template <typename Matches>
int CountTexels(GLuint texture, Matches matches)
{
    std::vector<unsigned char> rgba(static_cast<size_t>(ImageSize) * ImageSize * 4);
    WaitForRendering();
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    int count = 0;
    for (size_t texel = 0; texel < rgba.size(); texel += 4)
        count += matches(rgba[texel], rgba[texel + 1], rgba[texel + 2]) ? 1 : 0;
    return count;
}

// The terrain as the above-water programs draw it: its material, here pure red.
bool IsTerrain(int r, int g, int b)
{
    return r > 200 && g < 40 && b < 40;
}

bool IsClearWhite(int r, int g, int b)
{
    return r == 255 && g == 255 && b == 255;
}

void RenderWaterImages(const Vector3& eye, const Vector3& target)
{
    Camera.position = eye;
    Camera.target = target;
    RenderReflectionPass();
    RenderRefractionPass();
}
}

class WaterPassesTest : public GlTest
{
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        const std::filesystem::path previous = std::filesystem::current_path();
        std::filesystem::current_path(MERROWIND_RUN_DIR);
        StartWaterScene();
        CreateShaderContext();
        std::filesystem::current_path(previous);
        material = MakeTexture({255, 0, 0, 255});
        std::swap(TerrainMaterialTexture, material);
        Camera.Reset();
        glEnable(GL_DEPTH_TEST);
    }

    void TearDown() override
    {
        DestroyShaderContext();
        std::swap(TerrainMaterialTexture, material);
        glDeleteTextures(1, &material);
        glDisable(GL_DEPTH_TEST);
        GlTest::TearDown();
    }

    GLuint material = 0;
};

TEST_F(WaterPassesTest, BothPassesLeaveTheWindowBoundWithTheTargetsViewport)
{
    glBindFramebuffer(GL_FRAMEBUFFER, RenderTexture.framebuffer);
    RenderReflectionPass();
    RenderRefractionPass();

    GLint framebuffer = -1, matrixMode = 0, pipeline = -1;
    GLint viewport[4] = {};
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    glGetIntegerv(GL_PROGRAM_PIPELINE_BINDING, &pipeline);
    EXPECT_EQ(framebuffer, 0);
    EXPECT_EQ(viewport[2], ImageSize);
    EXPECT_EQ(viewport[3], ImageSize);
    EXPECT_EQ(matrixMode, GL_MODELVIEW);
    EXPECT_EQ(pipeline, 0);
    EXPECT_FALSE(glIsEnabled(GL_CLIP_PLANE0));
    EXPECT_NO_GL_ERROR();
}

TEST_F(WaterPassesTest, OverADrownedHollowOnlyTheRefractionShowsTerrain)
{
    // Everything within 75 units of this hollow lies under water.
    RenderWaterImages(Vector3(-187.5f, 60.0f, -207.5f), Vector3(-187.5f, 0.0f, -187.5f));

    EXPECT_EQ(CountTexels(ReflectionTexture, IsTerrain), 0);
    EXPECT_EQ(CountTexels(RefractionTexture, IsClearWhite), 0);
    EXPECT_NO_GL_ERROR();
}

TEST_F(WaterPassesTest, OverAHillOnlyTheReflectionShowsTerrain)
{
    // Everything within 90 units of the central crest lies above the water.
    RenderWaterImages(Vector3(0.0f, 80.0f, -20.0f), Vector3(0.0f, 15.0f, 0.0f));

    EXPECT_GT(CountTexels(ReflectionTexture, IsTerrain), ImageSize * ImageSize / 2);
    EXPECT_EQ(CountTexels(RefractionTexture, IsClearWhite), ImageSize * ImageSize);
    EXPECT_NO_GL_ERROR();
}

TEST_F(WaterPassesTest, WaterReadsTheReflectionImageUpsideDownAtItsOwnScreenSpot)
{
    // The mirrored camera sees a point of the water plane where the normal camera sees it, but
    // upside down: water low on the screen shows the top of the reflection image (red).
    GLuint bottomGreenTopRed = MakeTexture({0, 255, 0, 255, 255, 0, 0, 255});
    GLuint clearOnly = MakeTexture({255, 255, 255, 255});  // nothing under the water: reflection alone
    std::swap(ReflectionTexture, bottomGreenTopRed);
    std::swap(RefractionTexture, clearOnly);
    // Over a drowned hollow, looking along +z, away from the sun.
    Camera.position = Vector3(-187.5f, 25.0f, -187.5f);
    Camera.target = Vector3(-187.5f, 10.0f, -87.5f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    RenderMainScene();
    const std::vector<unsigned char> water = ReadPixels(320, 10, 1, 1);
    std::swap(ReflectionTexture, bottomGreenTopRed);
    std::swap(RefractionTexture, clearOnly);
    glDeleteTextures(1, &bottomGreenTopRed);
    glDeleteTextures(1, &clearOnly);

    EXPECT_GT(water[0], 200);
    EXPECT_LT(water[1], 60);
    EXPECT_NO_GL_ERROR();
}

TEST_F(WaterPassesTest, AMinimisedWindowOfHeightZeroRendersWithoutFault)
{
    const ClientSize saved = WindowSize;
    WindowSize = ClientSize{640, 0};
    RenderWaterImages(Vector3(100.0f, 100.0f, 0.0f), Vector3(0.0f, 0.0f, 0.0f));
    RenderMainScene();
    WindowSize = saved;

    float projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    for (float value : projection)
        EXPECT_TRUE(std::isfinite(value));
    EXPECT_NO_GL_ERROR();
}
