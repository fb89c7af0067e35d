// The three water program pairs on a real context: they build on this driver, a broken one is
// reported once while the others carry on, the terrain pairs clip at the water plane, and the
// water surface's samplers and time reach the GPU.
#include "GlContext.h"
#include "ScratchFolder.h"

#include "scene/Textures.h"
#include "shader/CgGL.h"
#include "water/WaterPrograms.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>

namespace
{
// Runs the loading from `folder`, whose CG/ holds the program files, and comes back.
void CreateShaderContextIn(const std::string& folder)
{
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    CreateShaderContext();
    std::filesystem::current_path(previous);
}

GLuint MakeWhiteTexture()
{
    const unsigned char white[4 * 3] = {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255};
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 2, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, white);
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

struct BoundStages
{
    GLint vertex = 0;
    GLint fragment = 0;
};

BoundStages StagesInUse()
{
    BoundStages stages;
    GLint pipeline = 0;
    glGetIntegerv(GL_PROGRAM_PIPELINE_BINDING, &pipeline);
    if (pipeline != 0)
    {
        glGetProgramPipelineiv(pipeline, GL_VERTEX_SHADER, &stages.vertex);
        glGetProgramPipelineiv(pipeline, GL_FRAGMENT_SHADER, &stages.fragment);
    }
    return stages;
}

// Every texture bound to GL_TEXTURE_2D on any unit.
std::vector<GLuint> TexturesOnUnits()
{
    GLint units = 0;
    glGetIntegerv(GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS, &units);
    std::vector<GLuint> bound;
    for (int unit = 0; unit < units; ++unit)
    {
        glActiveTexture(GL_TEXTURE0 + unit);
        GLint texture = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
        if (texture != 0)
            bound.push_back(static_cast<GLuint>(texture));
    }
    glActiveTexture(GL_TEXTURE0);
    return bound;
}

float ElapsedTimeInUse()
{
    const GLint fragment = StagesInUse().fragment;
    float value = -1.0f;
    glGetUniformfv(fragment, glGetUniformLocation(fragment, "ElapsedTime"), &value);
    return value;
}

// A full-viewport square in the plane z = 0, y from -1 (bottom) to 1 (top).
void DrawSquareAcrossTheWaterPlane()
{
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-1.0f, 1.0f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(1.0f, 1.0f, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-1.0f, -1.0f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(1.0f, -1.0f, 0.0f);
    glEnd();
}

bool IsBlack(const std::vector<unsigned char>& rgba)
{
    for (size_t pixel = 0; pixel < rgba.size(); pixel += 4)
        if (rgba[pixel] != 0 || rgba[pixel + 1] != 0 || rgba[pixel + 2] != 0)
            return false;
    return true;
}
}

class WaterProgramsTest : public GlTest
{
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        saved = {TerrainMaterialTexture, NormalTexture0, HeightTexture0, NormalTexture1,
                 HeightTexture1, ReflectionTexture,      RefractionTexture};
        for (GLuint& texture : textures)
            texture = MakeWhiteTexture();
        TerrainMaterialTexture = textures[0];
        NormalTexture0 = textures[1];
        HeightTexture0 = textures[2];
        NormalTexture1 = textures[3];
        HeightTexture1 = textures[4];
        ReflectionTexture = textures[5];
        RefractionTexture = textures[6];
    }

    void TearDown() override
    {
        DestroyShaderContext();
        TerrainMaterialTexture = saved[0];
        NormalTexture0 = saved[1];
        HeightTexture0 = saved[2];
        NormalTexture1 = saved[3];
        HeightTexture1 = saved[4];
        ReflectionTexture = saved[5];
        RefractionTexture = saved[6];
        glDeleteTextures(static_cast<GLsizei>(textures.size()), textures.data());
        GlTest::TearDown();
    }

    std::array<GLuint, 7> textures = {};
    std::array<GLuint, 7> saved = {};
};

TEST_F(WaterProgramsTest, AllSixProgramsBuildAndEachPairDrawsWithBothStages)
{
    CreateShaderContextIn(MERROWIND_RUN_DIR);
    EXPECT_TRUE(boxes.empty());

    std::vector<GLint> programs;
    const std::pair<void (*)(), void (*)()> pairs[] = {
        {BindUnderwaterPrograms, UnbindUnderwaterPrograms},
        {BindAboveWaterPrograms, UnbindAboveWaterPrograms},
        {[] { BindWaterPlanePrograms(0.0f, 0.0f, 0.0f); }, UnbindWaterPlanePrograms},
    };
    for (const auto& [bind, unbind] : pairs)
    {
        bind();
        const BoundStages stages = StagesInUse();
        programs.push_back(stages.vertex);
        programs.push_back(stages.fragment);
        unbind();
        EXPECT_EQ(StagesInUse().vertex, 0);
    }
    std::sort(programs.begin(), programs.end());
    EXPECT_EQ(std::unique(programs.begin(), programs.end()), programs.end());
    EXPECT_NE(programs.front(), 0);
    EXPECT_NO_GL_ERROR();
}

TEST_F(WaterProgramsTest, ABrokenProgramIsReportedOnceAndTheOthersCarryOn)
{
    ScratchFolder folder;
    const std::filesystem::path cg = std::filesystem::path(folder.PathOf("CG"));
    std::filesystem::copy(std::string(MERROWIND_RUN_DIR) + "/CG", cg);
    folder.Write("CG/VP_Underwater.cg", "void main() { this is not a program }\n");
    std::filesystem::remove(cg / "FP_AboveWater.cg");

    CreateShaderContextIn(folder.PathOf(""));

    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, "Error VP");
    EXPECT_EQ(boxes[0].text, cgGetErrorString(CG_COMPILER_ERROR));
    EXPECT_EQ(boxes[0].style, MB_OK);
    EXPECT_EQ(boxes[1].caption, "Error FP");
    EXPECT_EQ(boxes[1].text, cgGetErrorString(CG_FILE_READ_ERROR));

    BindUnderwaterPrograms();
    DrawSquareAcrossTheWaterPlane();
    UnbindUnderwaterPrograms();
    BindWaterPlanePrograms(0.0f, 0.0f, 0.0f);
    const BoundStages waterPlane = StagesInUse();
    UnbindWaterPlanePrograms();
    EXPECT_NE(waterPlane.vertex, 0);
    EXPECT_NE(waterPlane.fragment, 0);
    EXPECT_NO_GL_ERROR();
}

TEST_F(WaterProgramsTest, EachTerrainPairKeepsOnlyItsSideOfTheWaterPlane)
{
    CreateShaderContextIn(MERROWIND_RUN_DIR);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);

    const auto drawClipped = [](void (*bind)(), void (*unbind)())
    {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_CLIP_PLANE0);
        bind();
        DrawSquareAcrossTheWaterPlane();
        glDisable(GL_CLIP_PLANE0);
        unbind();
        // Rows a quarter of the window above and below the plane y = 0 (window row 240).
        return std::make_pair(ReadPixels(0, 360, 640, 1), ReadPixels(0, 120, 640, 1));
    };

    const auto [aboveKept, belowKept] = drawClipped(BindAboveWaterPrograms, UnbindAboveWaterPrograms);
    EXPECT_FALSE(IsBlack(aboveKept));
    EXPECT_TRUE(IsBlack(belowKept));

    const auto [aboveCut, belowShown] = drawClipped(BindUnderwaterPrograms, UnbindUnderwaterPrograms);
    EXPECT_TRUE(IsBlack(aboveCut));
    EXPECT_FALSE(IsBlack(belowShown));
    EXPECT_NO_GL_ERROR();
}

TEST_F(WaterProgramsTest, WaterPlaneBindingEnablesAllSixSamplersAndUnbindingDisablesThem)
{
    CreateShaderContextIn(MERROWIND_RUN_DIR);
    const std::vector<GLuint> samplers(textures.begin() + 1, textures.end());

    BindWaterPlanePrograms(0.0f, 0.0f, 0.0f);
    std::vector<GLuint> bound = TexturesOnUnits();
    UnbindWaterPlanePrograms();
    std::vector<GLuint> left = TexturesOnUnits();

    std::sort(bound.begin(), bound.end());
    EXPECT_EQ(bound, samplers);
    for (GLuint texture : samplers)
        EXPECT_EQ(std::count(left.begin(), left.end(), texture), 0);
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    EXPECT_EQ(active, GL_TEXTURE0);
    EXPECT_NO_GL_ERROR();
}

TEST_F(WaterProgramsTest, WaterTimeAdvancesOneTwentiethPerFrame)
{
    CreateShaderContextIn(MERROWIND_RUN_DIR);
    waterFrameCount = 0.0f;
    std::vector<float> times;
    for (int frame = 1; frame <= 21; ++frame)
    {
        BindWaterPlanePrograms(0.0f, 0.0f, 0.0f);
        times.push_back(ElapsedTimeInUse());
        UnbindWaterPlanePrograms();
    }

    EXPECT_EQ(times[0], 0.0f);
    EXPECT_FLOAT_EQ(times[1], 0.05f);
    EXPECT_FLOAT_EQ(times[20], 1.0f);
    EXPECT_NO_GL_ERROR();
}
