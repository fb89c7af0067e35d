#include "hdr/CHDRPostProcess.h"
#include "hdr/HDROffsets.h"
#include "shader/CgGL.h"
#include "GlContext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
constexpr float Threshold = 1.5f;
constexpr float ElapsedTime = 0.33f;

float Luminance(float red, float green, float blue)
{
    return 0.2125f * red + 0.7154f * green + 0.0721f * blue;
}

// RGBA texels, bottom row first.
struct Image
{
    int width = 0;
    int height = 0;
    std::vector<float> texels;

    float Red(int x, int y) const { return texels[(static_cast<size_t>(y) * width + x) * 4]; }
};

Image ReadTexture(GLuint texture)
{
    Image image;
    WaitForRendering();
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &image.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &image.height);
    image.texels.resize(static_cast<size_t>(image.width) * image.height * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, image.texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return image;
}

float MaximumOf(const Image& image)
{
    float maximum = 0.0f;
    for (size_t i = 0; i < image.texels.size(); i += 4)
        maximum = std::max({maximum, image.texels[i], image.texels[i + 1], image.texels[i + 2]});
    return maximum;
}

// The value a program of the runtime holds for a uniform, found among all GL program objects
// (the runtime compiles one per effect program; a shared name holds the same value in each).
std::vector<float> UniformValue(const char* name, int components)
{
    for (GLuint program = 1; program < 512; ++program)
    {
        if (!glIsProgram(program))
            continue;
        const GLint location = glGetUniformLocation(program, name);
        if (location < 0)
            continue;
        std::vector<float> value(16);
        glGetUniformfv(program, location, value.data());
        value.resize(components);
        return value;
    }
    return {};
}

template <size_t N>
void ExpectVectors(const char* baseName, const std::array<Float4, N>& expected)
{
    for (size_t i = 0; i < N; ++i)
    {
        const std::string name = baseName + std::to_string(i + 1);
        const Float4& v = expected[i];
        EXPECT_EQ(UniformValue(name.c_str(), 4), (std::vector<float>{v.x, v.y, v.z, v.w})) << name;
    }
}

// Runs a test from a folder that has no CG/ in it.
class EmptyWorkingDirectory
{
public:
    EmptyWorkingDirectory() : previous(std::filesystem::current_path())
    {
        char pattern[] = "/tmp/merrowind-hdr-XXXXXX";
        folder = mkdtemp(pattern);
        std::filesystem::current_path(folder);
    }
    ~EmptyWorkingDirectory()
    {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(folder);
    }

private:
    std::filesystem::path previous;
    std::filesystem::path folder;
};

class CHDRPostProcessTest : public GlTest
{
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        context = cgCreateContext();
        cgGLRegisterStates(context);
    }

    void TearDown() override
    {
        cgDestroyContext(context);
        hdr.Destroy();
        GlTest::TearDown();
    }

    // One frame of the chain on a scene that `drawScene` renders into the scene target.
    template <typename DrawScene>
    void RunFrame(DrawScene drawScene)
    {
        hdr.SetBrightPassThreshold(Threshold);
        hdr.BeginScene(640.0f, 480.0f, ElapsedTime);
        drawScene();
        hdr.EndScene();
        hdr.Process();
    }

    void RunFrameOfColour(float red, float green, float blue)
    {
        RunFrame([=] { FillScene(red, green, blue); });
    }

    static void FillScene(float red, float green, float blue)
    {
        glClearColor(red, green, blue, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }

    float AdaptedLuminance() { return ReadTexture(hdr.GetAdaptedLuminanceTexture()).Red(0, 0); }

    CGcontext context = nullptr;
    CHDRPostProcess hdr;
};
}

TEST_F(CHDRPostProcessTest, TheRealEffectLoadsWithoutABoxAndTheChainGivesBackTheCallersState)
{
    hdr.Init(context);
    EXPECT_TRUE(boxes.empty()) << boxes[0].caption << ": " << boxes[0].text;

    CFrameBuffer caller;
    caller.CreateBuffer(GL_TEXTURE_2D, 64, 64);
    caller.CreateColorBuffer(GL_RGBA8, GL_CLAMP, CFrameBuffer::FilterNearest);
    caller.BindBuffer();
    GLint callerBinding = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &callerBinding);
    glViewport(3, 4, 50, 60);
    glDisable(GL_TEXTURE_2D);
    RunFrameOfColour(0.5f, 0.5f, 0.5f);

    GLint binding = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &binding);
    EXPECT_EQ(binding, callerBinding);
    std::array<GLint, 4> viewport{};
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    EXPECT_EQ(viewport, (std::array<GLint, 4>{3, 4, 50, 60}));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLint program = -1;
    GLint pipeline = -1;
    GLint activeUnit = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    glGetIntegerv(GL_PROGRAM_PIPELINE_BINDING, &pipeline);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &activeUnit);
    EXPECT_EQ(program, 0);
    EXPECT_EQ(pipeline, 0);
    EXPECT_EQ(activeUnit, GL_TEXTURE0);
    // Unit 0 is the fixed-function unit that the frame binds its own textures on; no other unit
    // may keep a texture or sampler state of the chain.
    for (GLuint unit = 0; unit < 16; ++unit)
    {
        GLint sampler = -1;
        GLint texture = -1;
        glGetIntegeri_v(GL_SAMPLER_BINDING, unit, &sampler);
        glActiveTexture(GL_TEXTURE0 + unit);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
        EXPECT_EQ(sampler, 0) << "unit " << unit;
        EXPECT_TRUE(unit == 0 || texture == 0) << "unit " << unit;
    }
    glActiveTexture(GL_TEXTURE0);
    caller.UnbindBuffer();
    EXPECT_TRUE(boxes.empty());
    EXPECT_NO_GL_ERROR();
}

TEST_F(CHDRPostProcessTest, AMissingEffectIsReportedOnceAndTheChainStillRuns)
{
    {
        EmptyWorkingDirectory nowhere;
        hdr.Init(context);
    }
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Effect went wrong!");
    EXPECT_EQ(boxes[0].style, MB_OK);

    RunFrameOfColour(0.5f, 0.5f, 0.5f);
    EXPECT_NE(hdr.GetFinalTexture(), 0u);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_NO_GL_ERROR();
}

// Every technique the chain draws with is looked for; those the effect lacks are listed in one
// box, and their stages draw without effect state.
TEST_F(CHDRPostProcessTest, TechniquesTheEffectLacksAreListedInOneBoxAndTheChainStillRuns)
{
    std::ifstream source(MERROWIND_SOURCE_DIR "/CG/HDR_FX.cgfx");
    std::string effect((std::istreambuf_iterator<char>(source)), std::istreambuf_iterator<char>());
    const std::size_t blurY = effect.find("technique VerticalBlur");
    const std::size_t finalPass = effect.find("technique FinalPass");
    ASSERT_NE(blurY, std::string::npos);
    ASSERT_NE(finalPass, std::string::npos);
    effect.erase(finalPass);
    effect.replace(blurY, std::string("technique VerticalBlur").size(), "technique BlurAlongY");
    {
        EmptyWorkingDirectory folder;
        std::filesystem::create_directory("CG");
        std::ofstream("CG/HDR_FX.cgfx") << effect;
        hdr.Init(context);
    }
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Technique not validated!");
    EXPECT_EQ(boxes[0].text, "CG/HDR_FX.cgfx: the effect has no technique 'VerticalBlur'\n"
                             "CG/HDR_FX.cgfx: the effect has no technique 'FinalPass'\n");

    RunFrameOfColour(0.5f, 0.5f, 0.5f);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_NO_GL_ERROR();
}

TEST_F(CHDRPostProcessTest, TheEffectReceivesTheChainsOffsetsWeightsAndConstants)
{
    hdr.Init(context);
    RunFrameOfColour(0.5f, 0.5f, 0.5f);

    ExpectVectors("LumGrayscaleDownSampleOffset", FourTapOffsets(1024, 768, 256, 256));
    // The last reduction step reads the 4 x 4 target.
    ExpectVectors("LumDownSampleOffset", NineTapOffsets(4, 4));
    ExpectVectors("BrightPassOffset", FourTapOffsets(1024, 768, 512, 512));
    ExpectVectors("BrightPassDownSampleOffset", SixteenTapOffsets(128));
    ExpectVectors("HBlurOffset", BlurTaps(128));
    ExpectVectors("VBlurOffset", BlurTaps(128));
    EXPECT_EQ(UniformValue("ElapsedTime", 1), std::vector<float>{ElapsedTime});
    EXPECT_EQ(UniformValue("BrightPassTreshold", 1), std::vector<float>{Threshold});
    EXPECT_EQ(UniformValue("FinalPassExposure", 1), std::vector<float>{0.75f});
    EXPECT_EQ(UniformValue("FinalPassRcpBlurWidth", 1), std::vector<float>{0.0078125f});
    EXPECT_EQ(UniformValue("FinalPassRcpBlurHeight", 1), std::vector<float>{0.0078125f});
    EXPECT_NO_GL_ERROR();
}

TEST_F(CHDRPostProcessTest, AConstantSceneUnderTheThresholdIsMeasuredExactlyAndHasNoBloom)
{
    hdr.Init(context);
    RunFrameOfColour(0.5f, 0.25f, 0.125f);

    const float luminance = Luminance(0.5f, 0.25f, 0.125f);
    const Image measured = ReadTexture(hdr.GetLuminanceTexture(0));
    ASSERT_EQ(measured.width, 1);
    EXPECT_NEAR(std::exp(measured.Red(0, 0)), luminance, 0.01f * luminance);
    EXPECT_EQ(MaximumOf(ReadTexture(hdr.GetBrightPassTexture())), 0.0f);
    EXPECT_EQ(MaximumOf(ReadTexture(hdr.GetBloomTexture())), 0.0f);

    // Every quad covers its whole target: no clear colour shows at the edges of the picture.
    const Image picture = ReadTexture(hdr.GetFinalTexture());
    ASSERT_EQ(picture.width, 1024);
    for (size_t i = 0; i < picture.texels.size(); i += 4)
    {
        ASSERT_EQ(picture.texels[i], picture.texels[0]) << "texel " << i / 4;
        ASSERT_EQ(picture.texels[i + 1], picture.texels[1]) << "texel " << i / 4;
    }
    EXPECT_GT(picture.texels[0], picture.texels[1]);
    EXPECT_GT(picture.texels[0], 0.1f);
    EXPECT_LT(picture.texels[0], 0.95f);
    EXPECT_NO_GL_ERROR();
}

TEST_F(CHDRPostProcessTest, ASingleBrightSpotBloomsAroundItselfInEveryDirection)
{
    hdr.Init(context);
    RunFrame([] {
        FillScene(0.0f, 0.0f, 0.0f);
        glEnable(GL_SCISSOR_TEST);
        glScissor(504, 376, 16, 16);
        FillScene(20.0f, 20.0f, 20.0f);
        glDisable(GL_SCISSOR_TEST);
    });

    // The spot's centre, (512, 384) of the scene, is texel (64, 64) of the 128 x 128 bloom.
    const Image bloom = ReadTexture(hdr.GetBloomTexture());
    ASSERT_EQ(bloom.width, 128);
    const float centre = bloom.Red(64, 64);
    EXPECT_GT(centre, 0.0f);
    for (int distance = 1; distance <= 3; ++distance)
    {
        const std::array<float, 4> around = {bloom.Red(64 - distance, 64), bloom.Red(64 + distance, 64),
                                              bloom.Red(64, 64 - distance), bloom.Red(64, 64 + distance)};
        for (float value : around)
        {
            EXPECT_GT(value, 0.0f) << "at distance " << distance;
            EXPECT_LT(value, centre);
        }
        // Left against right and below against above: the same spread to within a factor of two.
        EXPECT_LT(std::max(around[0], around[1]), 2.0f * std::min(around[0], around[1])) << distance;
        EXPECT_LT(std::max(around[2], around[3]), 2.0f * std::min(around[2], around[3])) << distance;
    }
    EXPECT_EQ(bloom.Red(64 + 20, 64), 0.0f);
    EXPECT_EQ(bloom.Red(64, 64 - 20), 0.0f);

    // On the picture the glow lights the black around the spot.
    const Image picture = ReadTexture(hdr.GetFinalTexture());
    EXPECT_GT(picture.Red(512 + 20, 384), 0.02f);
    EXPECT_EQ(picture.Red(512 + 200, 384), 0.0f);
    EXPECT_NO_GL_ERROR();
}

TEST_F(CHDRPostProcessTest, AdaptationMovesSteadilyTowardsANewLevelWithoutOvershooting)
{
    hdr.Init(context);
    float previous = AdaptedLuminance();
    const float bright = Luminance(2.0f, 2.0f, 2.0f);
    for (int frame = 0; frame < 60; ++frame)
    {
        RunFrameOfColour(2.0f, 2.0f, 2.0f);
        const float adapted = AdaptedLuminance();
        ASSERT_GE(adapted, previous) << "frame " << frame;
        ASSERT_LE(adapted, bright * 1.01f) << "frame " << frame;
        previous = adapted;
    }
    // About a second of frames brings the eye most of the way.
    EXPECT_GT(previous, 0.9f * bright);

    const float dim = Luminance(0.1f, 0.1f, 0.1f);
    for (int frame = 0; frame < 10; ++frame)
    {
        RunFrameOfColour(0.1f, 0.1f, 0.1f);
        const float adapted = AdaptedLuminance();
        ASSERT_LT(adapted, previous) << "frame " << frame;
        ASSERT_GE(adapted, dim) << "frame " << frame;
        previous = adapted;
    }
    EXPECT_NO_GL_ERROR();
}
