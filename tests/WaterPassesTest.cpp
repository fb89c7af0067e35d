// The reflection, refraction and main scene passes over the real terrain, sky box and programs:
// what each image holds on either side of the water plane, and the state the passes leave.
#include "GlContext.h"

#include "app/Globals.h"
#include "scene/Terrain.h"
#include "scene/Textures.h"
#include "water/MainScenePass.h"
#include "water/ReflectionPass.h"
#include "water/RefractionPass.h"
#include "water/TerrainTransform.h"
#include "water/WaterPrograms.h"

#include <algorithm>
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
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(MERROWIND_RUN_DIR);
    RenderTexture.Create(ImageSize, ImageSize);
    std::vector<float> positions(TerrainVertexCount * 3);
    std::vector<float> texCoords(TerrainVertexCount * 2);
    GenerateTerrain(positions.data(), texCoords.data());
    TerrainMesh.Generate();
    TerrainMesh.Create(TerrainVertexCount, positions.data(), TerrainPositionBytes, texCoords.data(),
                       TerrainTexCoordBytes);
    LoadTextures();
    SkyBox.Load();
    SkyBox.SetPosition(Vector3(0.0f));
    SkyBox.SetSize(1500.0f);
    std::filesystem::current_path(previous);
}

GLuint MakeRedTexture()
{
    const unsigned char red[3] = {255, 0, 0};
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, red);
    return texture;
}

std::vector<unsigned char> ImageOf(GLuint texture)
{
    std::vector<unsigned char> texels(static_cast<size_t>(ImageSize) * ImageSize * 4);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

int CountTexels(const std::vector<unsigned char>& rgba, bool (*matches)(const unsigned char*))
{
    int count = 0;
    for (size_t texel = 0; texel < rgba.size(); texel += 4)
        count += matches(&rgba[texel]) ? 1 : 0;
    return count;
}

// The terrain as the above-water programs draw it: its material, here pure red.
bool IsTerrainMaterial(const unsigned char* rgba)
{
    return rgba[0] > 200 && rgba[1] < 40 && rgba[2] < 40;
}

bool IsClearWhite(const unsigned char* rgba)
{
    return rgba[0] == 255 && rgba[1] == 255 && rgba[2] == 255;
}

GLint Integer(GLenum name)
{
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

void LookFromTo(const Vector3& eye, const Vector3& target)
{
    Camera.position = eye;
    Camera.target = target;
}
}

class WaterPassesTest : public GlTest
{
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        StartWaterScene();
        const std::filesystem::path previous = std::filesystem::current_path();
        std::filesystem::current_path(MERROWIND_RUN_DIR);
        CreateShaderContext();
        std::filesystem::current_path(previous);
        material = TerrainMaterialTexture;
        TerrainMaterialTexture = MakeRedTexture();
        Camera.Reset();
        SceneRotation.horizontal = 0.0f;
        glEnable(GL_DEPTH_TEST);
    }

    void TearDown() override
    {
        DestroyShaderContext();
        glDeleteTextures(1, &TerrainMaterialTexture);
        TerrainMaterialTexture = material;
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

    EXPECT_EQ(Integer(GL_FRAMEBUFFER_BINDING), 0);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], ImageSize);
    EXPECT_EQ(viewport[3], ImageSize);
    EXPECT_EQ(Integer(GL_MATRIX_MODE), GL_MODELVIEW);
    EXPECT_FALSE(glIsEnabled(GL_CLIP_PLANE0));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(Integer(GL_PROGRAM_PIPELINE_BINDING), 0);
    EXPECT_NO_GL_ERROR();
}

TEST_F(WaterPassesTest, OverADrownedHollowOnlyTheRefractionShowsTerrain)
{
    // Everything within 75 units of this hollow lies under water.
    LookFromTo(Vector3(-187.5f, 60.0f, -207.5f), Vector3(-187.5f, 0.0f, -187.5f));
    RenderReflectionPass();
    RenderRefractionPass();

    EXPECT_EQ(CountTexels(ImageOf(ReflectionTexture), IsTerrainMaterial), 0);
    EXPECT_EQ(CountTexels(ImageOf(RefractionTexture), IsClearWhite), 0);
    EXPECT_NO_GL_ERROR();
}

TEST_F(WaterPassesTest, OverAHillOnlyTheReflectionShowsTerrain)
{
    // Everything within 90 units of the central crest lies above the water.
    LookFromTo(Vector3(0.0f, 80.0f, -20.0f), Vector3(0.0f, 15.0f, 0.0f));
    RenderReflectionPass();
    RenderRefractionPass();

    EXPECT_GT(CountTexels(ImageOf(ReflectionTexture), IsTerrainMaterial), ImageSize * ImageSize / 2);
    EXPECT_EQ(CountTexels(ImageOf(RefractionTexture), IsClearWhite), ImageSize * ImageSize);
    EXPECT_NO_GL_ERROR();
}

TEST_F(WaterPassesTest, TerrainTransformCentresTheScaledSquareAndTurnsItWithTheScene)
{
    const auto place = [](float x, float y, float z)
    {
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        ApplyTerrainTransform(0.0f, 0.0f);
        GLfloat m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        return Vector3(m[0] * x + m[4] * y + m[8] * z + m[12], m[1] * x + m[5] * y + m[9] * z + m[13],
                       m[2] * x + m[6] * y + m[10] * z + m[14]);
    };

    const Vector3 corner = place(150.0f, 7.0f, 0.0f);
    EXPECT_FLOAT_EQ(corner.x, 375.0f);
    EXPECT_FLOAT_EQ(corner.y, 7.0f);
    EXPECT_FLOAT_EQ(corner.z, -375.0f);

    SceneRotation.horizontal = 90.0f;
    const Vector3 turned = place(150.0f, 7.0f, 0.0f);
    EXPECT_NEAR(turned.x, 375.0f, 1e-3f);
    EXPECT_NEAR(turned.z, 375.0f, 1e-3f);
}

TEST_F(WaterPassesTest, MainSceneAdvancesTheWaterOnceAndLeavesFixedFunctionTerrainState)
{
    RenderReflectionPass();
    RenderRefractionPass();
    glViewport(0, 0, 640, 480);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const float frames = waterFrameCount;
    RenderMainScene();

    EXPECT_EQ(waterFrameCount, frames + 1.0f);
    EXPECT_EQ(Integer(GL_MATRIX_MODE), GL_MODELVIEW);
    EXPECT_EQ(Integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(TerrainMaterialTexture));
    EXPECT_EQ(Integer(GL_PROGRAM_PIPELINE_BINDING), 0);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_NO_GL_ERROR();
}
