// SPDX-License-Identifier: MIT
// The three water program pairs on a real context: they build on this driver, a broken one is
// reported once while the others carry on, the terrain pairs clip at the water plane, and each
// sampler, constant and the time reach the program that reads them.
#include "GlContext.h"
#include "ScratchFolder.h"

#include "platform/TextFile.h"
#include "scene/Textures.h"
#include "shader/CShaderContext.h"
#include "shader/CShaderReloader.h"
#include "shader/Handles.h"
#include "water/WaterPrograms.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <iterator>

namespace
{
// Loads the programs from `folder`/CG and comes back.
void CreateShaderContextIn(const std::string& folder)
{
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    CreateShaderContext();
    std::filesystem::current_path(previous);
}

// The programs in use: vertex, then fragment; zeros when none is.
std::array<GLint, 2> StagesInUse()
{
    std::array<GLint, 2> stages = {};
    GLint pipeline = 0;
    glGetIntegerv(GL_PROGRAM_PIPELINE_BINDING, &pipeline);
    if (pipeline != 0)
    {
        glGetProgramPipelineiv(pipeline, GL_VERTEX_SHADER, &stages[0]);
        glGetProgramPipelineiv(pipeline, GL_FRAGMENT_SHADER, &stages[1]);
    }
    return stages;
}

std::vector<GLuint> TexturesOnAllUnits()
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
    std::sort(bound.begin(), bound.end());
    return bound;
}
}

class WaterPrograms : public GlTest
{
protected:
    // Every texture the pairs sample is a white texture of its own.
    void SetUp() override
    {
        GlTest::SetUp();
        const unsigned char white[3] = {255, 255, 255};
        glGenTextures(static_cast<GLsizei>(textures.size()), textures.data());
        for (size_t k = 0; k < textures.size(); ++k)
        {
            glBindTexture(GL_TEXTURE_2D, textures[k]);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
            glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, white);
            std::swap(*globals[k], textures[k]);
        }
        glBindTexture(GL_TEXTURE_2D, 0);
    }

    void TearDown() override
    {
        DestroyShaderContext();
        for (size_t k = 0; k < textures.size(); ++k)
            std::swap(*globals[k], textures[k]);
        glDeleteTextures(static_cast<GLsizei>(textures.size()), textures.data());
        GlTest::TearDown();
    }

    // Draws a full-window square in the plane z = 0, y from -1 to 1 in the pair's own
    // coordinates, and tells whether anything landed a quarter of the window above and below y = 0.
    static std::pair<bool, bool> DrawnAboveAndBelow(void (*bind)(), void (*unbind)())
    {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_CLIP_PLANE0);
        bind();
        glBegin(GL_TRIANGLE_STRIP);
        glVertex3f(-1.0f, 1.0f, 0.0f);
        glVertex3f(1.0f, 1.0f, 0.0f);
        glVertex3f(-1.0f, -1.0f, 0.0f);
        glVertex3f(1.0f, -1.0f, 0.0f);
        glEnd();
        glDisable(GL_CLIP_PLANE0);
        unbind();
        const auto drawn = [](int row)
        {
            const std::vector<unsigned char> rgba = ReadPixels(0, row, 640, 1);
            for (size_t pixel = 0; pixel < rgba.size(); pixel += 4)
                if (rgba[pixel] != 0 || rgba[pixel + 1] != 0 || rgba[pixel + 2] != 0)
                    return true;
            return false;
        };
        return {drawn(360), drawn(120)};
    }

    // The water plane's six samplers come after the terrain material.
    std::vector<GLuint> WaterPlaneTextures() const
    {
        std::vector<GLuint> names;
        for (size_t k = 1; k < globals.size(); ++k)
            names.push_back(*globals[k]);
        std::sort(names.begin(), names.end());
        return names;
    }

    const std::array<GLuint*, 7> globals = {&TerrainMaterialTexture, &NormalTexture0, &HeightTexture0,   &NormalTexture1,
                                            &HeightTexture1,         &ReflectionTexture, &RefractionTexture};
    std::array<GLuint, 7> textures = {};
};

TEST_F(WaterPrograms, ABrokenProgramIsReportedOnceAndTheOthersCarryOn)
{
    ScratchFolder folder;
    std::filesystem::copy(std::string(MERROWIND_RUN_DIR) + "/CG", folder.PathOf("CG"));
    folder.Write("CG/VP_Underwater.cg", "void main() { this is not a program }\n");
    std::filesystem::remove(folder.PathOf("CG/FP_AboveWater.cg"));

    CreateShaderContextIn(folder.PathOf(""));

    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, "Error VP");
    EXPECT_EQ(boxes[0].text, "CG/VP_Underwater.cg: " + std::string(cgGetErrorString(CG_COMPILER_ERROR)));
    EXPECT_EQ(boxes[0].style, MB_OK);
    EXPECT_EQ(boxes[1].caption, "Error FP");
    EXPECT_EQ(boxes[1].text, "CG/FP_AboveWater.cg: " + std::string(cgGetErrorString(CG_FILE_READ_ERROR)));
    DrawnAboveAndBelow(BindUnderwaterPrograms, UnbindUnderwaterPrograms);
    BindWaterPlanePrograms(0.0f, 0.0f, 0.0f);
    const std::array<GLint, 2> waterPlane = StagesInUse();
    UnbindWaterPlanePrograms();
    EXPECT_NE(waterPlane[0], 0);
    EXPECT_NE(waterPlane[1], 0);
    EXPECT_NO_GL_ERROR();
}

TEST_F(WaterPrograms, EachTerrainPairBuildsAndKeepsOnlyItsSideOfTheWaterPlane)
{
    CreateShaderContextIn(MERROWIND_RUN_DIR);
    EXPECT_TRUE(boxes.empty());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    EXPECT_EQ(DrawnAboveAndBelow(BindAboveWaterPrograms, UnbindAboveWaterPrograms), std::make_pair(true, false));
    EXPECT_EQ(DrawnAboveAndBelow(BindUnderwaterPrograms, UnbindUnderwaterPrograms), std::make_pair(false, true));
    EXPECT_EQ(DrawnAboveAndBelow(BindMainViewTerrainPrograms, UnbindAboveWaterPrograms),
              std::make_pair(true, true))
        << "the main view's terrain is clipped nowhere";
    EXPECT_EQ(StagesInUse(), (std::array<GLint, 2>{}));
    EXPECT_NO_GL_ERROR();
}

// Stripes one texel high, seen four texels wide and one high a pixel. Each pixel's footprint,
// 4 x 1 texels, lies within one stripe, so the box filter over it is that stripe's value, 0 or
// 255; the filter along the footprint keeps it. One lookup with trilinear filtering takes the mip
// level of the footprint's long side instead, where 4 x 4 blocks average the stripes to 127.5.
TEST_F(WaterPrograms, TheFootprintFilterKeepsStripesAcrossTheFootprintsShortSideThatTrilinearBlurs)
{
    CreateShaderContextIn(MERROWIND_RUN_DIR);
    constexpr int Size = 256;
    std::vector<unsigned char> stripes(Size * Size * 3);
    for (int row = 0; row < Size; ++row)
        std::fill_n(stripes.begin() + row * Size * 3, Size * 3, row % 2 == 0 ? 0 : 255);
    glBindTexture(GL_TEXTURE_2D, TerrainMaterialTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, Size, Size, 0, GL_RGB, GL_UNSIGNED_BYTE, stripes.data());
    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    // Row y's centre lies on texel row y: t = (y + 0.5) / 256, and s runs 4 texels a pixel.
    for (const bool filter : {true, false})
    {
        SCOPED_TRACE(filter ? "filtered along the footprint" : "one trilinear lookup");
        UseFootprintFilter(filter);
        BindMainViewTerrainPrograms();
        glBegin(GL_TRIANGLE_STRIP);
        glTexCoord2f(0.0f, 480.0f / Size);
        glVertex2f(-1.0f, 1.0f);
        glTexCoord2f(640.0f * 4.0f / Size, 480.0f / Size);
        glVertex2f(1.0f, 1.0f);
        glTexCoord2f(0.0f, 0.0f);
        glVertex2f(-1.0f, -1.0f);
        glTexCoord2f(640.0f * 4.0f / Size, 0.0f);
        glVertex2f(1.0f, -1.0f);
        glEnd();
        UnbindAboveWaterPrograms();
        const std::vector<unsigned char> column = ReadPixels(320, 236, 1, 8);
        for (int row = 0; row < 8; ++row)
        {
            const double stripe = (236 + row) % 2 == 0 ? 0.0 : 255.0;
            EXPECT_NEAR(column[4 * row], filter ? stripe : 127.5, 8.0) << "row " << 236 + row;
        }
    }
    EXPECT_NO_GL_ERROR();
}

TEST_F(WaterPrograms, WaterPlaneBindsItsProgramsAndEachSamplerItsOwnTextureAndUnbindingReleasesThem)
{
    CreateShaderContextIn(MERROWIND_RUN_DIR);
    BindWaterPlanePrograms(0.0f, 0.0f, 0.0f);
    const std::array<GLint, 2> stages = StagesInUse();
    const std::vector<GLuint> bound = TexturesOnAllUnits();
    // Each sampler's unit holds the texture of its own name; the textures are all distinct.
    const std::pair<const char*, GLuint> samplers[] = {
        {"NormalTex0", NormalTexture0}, {"HeightTex0", HeightTexture0},       {"NormalTex1", NormalTexture1},
        {"HeightTex1", HeightTexture1}, {"AboveWaterTex", ReflectionTexture}, {"UnderWaterTex", RefractionTexture}};
    for (const auto& [name, texture] : samplers)
    {
        GLint unit = -1, onUnit = 0;
        glGetUniformiv(stages[1], glGetUniformLocation(stages[1], name), &unit);
        glActiveTexture(GL_TEXTURE0 + unit);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &onUnit);
        glActiveTexture(GL_TEXTURE0);
        EXPECT_EQ(static_cast<GLuint>(onUnit), texture) << name;
    }
    UnbindWaterPlanePrograms();

    EXPECT_TRUE(boxes.empty());
    EXPECT_NE(stages[0], 0);
    EXPECT_NE(stages[1], 0);
    EXPECT_EQ(StagesInUse(), (std::array<GLint, 2>{}));
    EXPECT_EQ(bound, WaterPlaneTextures());
    EXPECT_TRUE(TexturesOnAllUnits().empty());
    EXPECT_NO_GL_ERROR();
}

// The constants each binding hands its programs: the clip planes, the water's body and the
// waves' drift, as the scene defines them.
TEST_F(WaterPrograms, EachPairReceivesItsConstants)
{
    CreateShaderContextIn(MERROWIND_RUN_DIR);
    const struct
    {
        const char* pair;
        void (*bind)();
        void (*unbind)();
        int stage;  // 0 vertex, 1 fragment
        const char* name;
        std::vector<float> value;
    } uniforms[] = {
        {"above", BindAboveWaterPrograms, UnbindAboveWaterPrograms, 0, "Plane0", {0.0f, 1.0f, 0.0f, 0.0f}},
        {"under", BindUnderwaterPrograms, UnbindUnderwaterPrograms, 0, "Plane0", {0.0f, -1.0f, 0.0f, 0.0f}},
        {"under", BindUnderwaterPrograms, UnbindUnderwaterPrograms, 0, "Pass2", {5.0f}},
        {"under", BindUnderwaterPrograms, UnbindUnderwaterPrograms, 1, "WaterHeight", {0.0f}},
        {"under", BindUnderwaterPrograms, UnbindUnderwaterPrograms, 1, "FadingScale", {0.05f}},
        {"under", BindUnderwaterPrograms, UnbindUnderwaterPrograms, 1, "AbsorbtionOfLight", {0.2f, 0.2f, 0.01f}},
        {"under", BindUnderwaterPrograms, UnbindUnderwaterPrograms, 1, "DistortionEdge", {5.0f}},
        {"water", [] { BindWaterPlanePrograms(0.0f, 0.0f, 0.0f); }, UnbindWaterPlanePrograms, 1, "Speed0", {0.04f, 0.055f}},
        {"water", [] { BindWaterPlanePrograms(0.0f, 0.0f, 0.0f); }, UnbindWaterPlanePrograms, 1, "Speed1", {-0.025f, 0.02f}},
        {"water", [] { BindWaterPlanePrograms(0.0f, 0.0f, 0.0f); }, UnbindWaterPlanePrograms, 1, "Speed2", {0.0f, 0.0f}},
    };
    for (const auto& uniform : uniforms)
    {
        uniform.bind();
        const GLint program = StagesInUse()[uniform.stage];
        std::vector<float> received(4, -99.0f);
        glGetUniformfv(program, glGetUniformLocation(program, uniform.name), received.data());
        uniform.unbind();
        received.resize(uniform.value.size());
        EXPECT_EQ(received, uniform.value) << uniform.pair << " " << uniform.name;
    }
    EXPECT_NO_GL_ERROR();
}

// The water's programs run three time units a second: 0.05 a frame at 60 Hz, as the waves were
// made for. Binding the pair again within a frame draws the same moment.
TEST_F(WaterPrograms, WaterTimeIsThreeUnitsASecondAndBindingDoesNotAdvanceIt)
{
    CreateShaderContextIn(MERROWIND_RUN_DIR);
    const struct
    {
        double seconds;
        float elapsedTime;
    } moments[] = {{0.0, 0.0f}, {1.0 / 60.0, 0.05f}, {0.25, 0.75f}, {1.0 / 3.0, 1.0f}, {3600.0, 10800.0f}};
    for (const auto& moment : moments)
    {
        SetWaterTime(moment.seconds);
        for (int binding = 0; binding < 2; ++binding)
        {
            BindWaterPlanePrograms(0.0f, 0.0f, 0.0f);
            const GLint fragment = StagesInUse()[1];
            float time = -1.0f;
            glGetUniformfv(fragment, glGetUniformLocation(fragment, "ElapsedTime"), &time);
            UnbindWaterPlanePrograms();
            EXPECT_FLOAT_EQ(time, moment.elapsedTime) << moment.seconds << " s, binding " << binding;
        }
    }
    EXPECT_NO_GL_ERROR();
}

// Each water setting reaches its uniform when the pair that reads it is next bound, and where the
// water plane's file gives its uniforms initializers, they are the settings' defaults.
TEST_F(WaterPrograms, EachSettingReachesItsUniformAndTheFilesInitializersAreTheDefaults)
{
    CreateShaderContextIn(MERROWIND_RUN_DIR);
    const std::string waterPlaneFile = std::string(MERROWIND_RUN_DIR) + "/CG/FP_WaterPlane.cg";
    const CGprogram fresh =
        cgCreateProgramFromFile(ShaderContext, CG_SOURCE, waterPlaneFile.c_str(), CG_PROFILE_ARBFP1, "main", nullptr);
    ASSERT_NE(fresh, nullptr);
    const auto component = [](GLuint program, const char* uniform, int index)
    {
        std::array<float, 4> values = {-99.0f, -99.0f, -99.0f, -99.0f};
        glGetUniformfv(program, glGetUniformLocation(program, uniform), values.data());
        return values[index];
    };
    const auto bindWaterPlane = [] { BindWaterPlanePrograms(0.0f, 0.0f, 0.0f); };
    const struct
    {
        float WaterSettings::*value;
        const char* uniform;
        int component;
        bool underwater;  // read by the underwater pair, whose file has no initializers
    } uniforms[] = {
        {&WaterSettings::waveSpeed0X, "Speed0", 0, false},
        {&WaterSettings::waveSpeed0Y, "Speed0", 1, false},
        {&WaterSettings::waveSpeed1X, "Speed1", 0, false},
        {&WaterSettings::waveSpeed1Y, "Speed1", 1, false},
        {&WaterSettings::distortionStrength, "DistortionStrength", 0, false},
        {&WaterSettings::absorptionRed, "AbsorbtionOfLight", 0, true},
        {&WaterSettings::absorptionGreen, "AbsorbtionOfLight", 1, true},
        {&WaterSettings::absorptionBlue, "AbsorbtionOfLight", 2, true},
        {&WaterSettings::fadingScale, "FadingScale", 0, true},
        {&WaterSettings::reflectanceHeadOn, "ReflectanceHeadOn", 0, false},
        {&WaterSettings::sunIntensity, "SunIntensity", 0, false},
        {&WaterSettings::sunShininess, "SunShininess", 0, false},
    };
    ASSERT_EQ(std::size(uniforms), std::size(WaterSettingFields)) << "every setting is in the table";
    for (const auto& uniform : uniforms)
    {
        SCOPED_TRACE(uniform.uniform + std::string("[") + std::to_string(uniform.component) + "]");
        const float byDefault = WaterSettings{}.*uniform.value;
        if (!uniform.underwater)
        {
            EXPECT_EQ(component(FromHandle(fresh)->Name(), uniform.uniform, uniform.component), byDefault);
        }
        const float changed = byDefault * 1.5f + 0.125f;
        waterSettings.*uniform.value = changed;
        uniform.underwater ? BindUnderwaterPrograms() : bindWaterPlane();
        const GLuint fragment = static_cast<GLuint>(StagesInUse()[1]);
        EXPECT_EQ(component(fragment, uniform.uniform, uniform.component), changed);
        uniform.underwater ? UnbindUnderwaterPrograms() : UnbindWaterPlanePrograms();
        waterSettings = WaterSettings{};
    }
    // The share the water lets through head-on goes with its reflectance.
    EXPECT_EQ(component(FromHandle(fresh)->Name(), "TransmittedHeadOn", 0), 1.0f - WaterSettings{}.reflectanceHeadOn);
    waterSettings.reflectanceHeadOn = 0.25f;
    bindWaterPlane();
    EXPECT_EQ(component(static_cast<GLuint>(StagesInUse()[1]), "TransmittedHeadOn", 0), 0.75f);
    UnbindWaterPlanePrograms();
    waterSettings = WaterSettings{};
    EXPECT_NO_GL_ERROR();
}

// The scene's water plane rebuilt from an edited file while it runs: the handles the scene holds
// draw with the new program, and a setting changed before the rebuild holds in it. An edit that
// leaves out what the scene sets is taken, as at start-up, with a note naming each such parameter.
TEST_F(WaterPrograms, AnEditedWaterPlaneIsRebuiltWithTheSettingsInUse)
{
    ScratchFolder folder;
    std::filesystem::copy(std::string(MERROWIND_RUN_DIR) + "/CG", folder.PathOf("CG"));
    CreateShaderContextIn(folder.PathOf(""));
    waterSettings.sunIntensity = 12.5f;
    BindWaterPlanePrograms(0.0f, 0.0f, 0.0f);
    UnbindWaterPlanePrograms();
    std::string text;
    ASSERT_TRUE(ReadTextFile(folder.PathOf("CG/FP_WaterPlane.cg"), text));
    const std::string::size_type output = text.find("colour = vec4(mix");
    ASSERT_NE(output, std::string::npos);
    const std::string::size_type outputLength = text.find(';', output) + 1 - output;
    const std::string water = text.substr(output + 9, outputLength - 10);
    CShaderReloader reloader;
    const auto reload = [&](const std::string& statement)
    {
        folder.Write("CG/FP_WaterPlane.cg", std::string(text).replace(output, outputLength, statement));
        const std::filesystem::path previous = std::filesystem::current_path();
        std::filesystem::current_path(folder.PathOf(""));
        reloader.Check(ShaderContext);
        std::filesystem::current_path(previous);
        return *std::find_if(reloader.Files().begin(), reloader.Files().end(),
                             [](const CShaderReloader::FileStatus& status)
                             { return status.file == "CG/FP_WaterPlane.cg"; });
    };

    const CShaderReloader::FileStatus sunOnly = reload("colour = vec4(0.0, 1.0, SunIntensity / 100.0, 1.0);");
    EXPECT_TRUE(sunOnly.built) << sunOnly.listing;
    EXPECT_NE(sunOnly.listing.find("CG/FP_WaterPlane.cg: note: this version leaves out the parameter 'ElapsedTime', "
                                   "which the scene sets\n"),
              std::string::npos)
        << sunOnly.listing;
    EXPECT_EQ(sunOnly.listing.find("SunIntensity"), std::string::npos) << sunOnly.listing;
    // The water's colour kept, though it adds nothing here: every texture is white.
    EXPECT_TRUE(reload("colour = vec4(0.0, 1.0, SunIntensity / 100.0, 1.0) + min(" + water + ", 0.0);").built);

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    BindWaterPlanePrograms(0.0f, 0.0f, 0.0f);
    glRectf(-1.0f, -1.0f, 1.0f, 1.0f);
    UnbindWaterPlanePrograms();
    waterSettings = WaterSettings{};
    const std::vector<unsigned char> pixel = ReadPixels(320, 240, 1, 1);
    EXPECT_EQ(std::vector<int>(pixel.begin(), pixel.begin() + 3), (std::vector<int>{0, 255, 32}));
    EXPECT_NO_GL_ERROR();
}
