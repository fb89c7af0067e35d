// SPDX-License-Identifier: MIT
#include "hdr/CHDRPostProcess.h"
#include "shader/CgGL.h"
#include "shader/Handles.h"
#include "GlContext.h"
#include "HdrReference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <numeric>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
constexpr float Threshold = 1.5f;
constexpr float ElapsedTime = 0.33f;
// 1 - exp(-50 x 0.2): the eye takes all but 5e-5 of a change in one frame.
constexpr float SettlingTime = 50.0f;
constexpr int SceneWidth = 1024;
constexpr int SceneHeight = 768;
// The scene target's sizes: the fixed one, and one a window gives it.
constexpr std::array<std::array<int, 2>, 2> SceneSizes = {{{SceneWidth, SceneHeight}, {1280, 720}}};

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

class HdrChain : public GlTest
{
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        context = cgCreateContext();
        cgGLRegisterStates(context);
        hdr.Settings().brightPassThreshold = Threshold;
    }

    void TearDown() override
    {
        cgDestroyContext(context);
        hdr.Destroy();
        GlTest::TearDown();
    }

    // One frame of the chain on a scene that `drawScene` renders into the scene target, driven
    // as the program's frame drives it.
    template <typename DrawScene>
    void RunFrame(DrawScene drawScene, float elapsed = ElapsedTime)
    {
        hdr.SetBrightPassThreshold(hdr.Settings().brightPassThreshold);
        hdr.BeginScene(640.0f, 480.0f, elapsed);
        drawScene();
        hdr.EndScene();
        hdr.Process();
    }

    // Frames with an elapsed time that lets the eye settle on the scene in a few.
    template <typename DrawScene>
    void Settle(DrawScene drawScene)
    {
        for (int frame = 0; frame < 4; ++frame)
            RunFrame(drawScene, SettlingTime);
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

    // A rectangle of the scene, (x, y) its bottom-left pixel.
    static void FillRectangle(int x, int y, int width, int height, float red, float green, float blue)
    {
        glEnable(GL_SCISSOR_TEST);
        glScissor(x, y, width, height);
        FillScene(red, green, blue);
        glDisable(GL_SCISSOR_TEST);
    }

    static void FillRectangle(int x, int y, int width, int height, float grey)
    {
        FillRectangle(x, y, width, height, grey, grey, grey);
    }

    float MeasuredLogAverage() { return ReadTexture(hdr.GetLuminanceTexture(0)).Red(0, 0); }

    float AdaptedLuminance() { return ReadTexture(hdr.GetAdaptedLuminanceTexture()).Red(0, 0); }

    CGcontext context = nullptr;
    CHDRPostProcess hdr;
};
}

TEST_F(HdrChain, TheRealEffectLoadsWithoutABoxAndTheChainGivesBackTheCallersState)
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

// Multisampled, the scene resolves each pixel that an edge crosses to about the share of it that
// is covered (worked out by integrating the edge over the pixel), and the chain then reads one
// sample a pixel as before; single sampled again, each pixel is either covered or not.
TEST_F(HdrChain, AMultisampledSceneResolvesEdgePixelsToTheShareCovered)
{
    constexpr int Side = 64;
    // The covered half-plane: below y = Slope x + Offset, in the scene's pixels.
    constexpr double Slope = 0.3, Offset = 20.25;
    auto coveredShare = [](int x, int y) {
        constexpr int Steps = 1000;
        double area = 0.0;
        for (int step = 0; step < Steps; ++step)
            area += std::clamp(Slope * (x + (step + 0.5) / Steps) + Offset - y, 0.0, 1.0) / Steps;
        return area;
    };
    hdr.Init(context);
    hdr.SetSceneSize(Side, Side);
    for (bool multisampled : {true, false})
    {
        SCOPED_TRACE(multisampled ? "multisampled" : "single sampled");
        hdr.SetSceneMultisampled(multisampled);
        EXPECT_EQ(hdr.SceneSamples(), multisampled ? CHDRPostProcess::MultisampleCount : 1);
        RunFrame([] {
            glMatrixMode(GL_PROJECTION);
            glLoadIdentity();
            glOrtho(0.0, Side, 0.0, Side, -1.0, 1.0);
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
            glDisable(GL_TEXTURE_2D);
            glColor3f(1.0f, 1.0f, 1.0f);
            glBegin(GL_TRIANGLE_STRIP);
            glVertex2d(0.0, 0.0);
            glVertex2d(Side, 0.0);
            glVertex2d(0.0, Offset);
            glVertex2d(Side, Slope * Side + Offset);
            glEnd();
            glEnable(GL_TEXTURE_2D);
        });
        GLuint scene = 0;
        hdr.ForEachTarget([&scene](const NamedTarget& target) {
            if (std::string(target.label) == "scene")
                scene = target.texture;
        });
        const Image picture = ReadTexture(scene);
        ASSERT_EQ(picture.width, Side);
        int edgePixels = 0, between = 0;
        double worst = 0.0;
        for (int y = 0; y < Side; ++y)
        {
            for (int x = 0; x < Side; ++x)
            {
                const double share = coveredShare(x, y);
                if (share <= 0.01 || share >= 0.99)
                    continue;
                ++edgePixels;
                const float level = picture.Red(x, y);
                between += level > 0.01f && level < 0.99f ? 1 : 0;
                worst = std::max(worst, std::abs(level - share));
            }
        }
        ASSERT_GT(edgePixels, 40);
        if (multisampled)
        {
            EXPECT_LE(worst, 0.4) << "four samples: no pixel further than that from its share";
            EXPECT_GT(between, edgePixels / 2) << "most edge pixels are partly covered";
        }
        else
        {
            EXPECT_EQ(between, 0) << "one sample: covered or not";
        }
    }
    EXPECT_NO_GL_ERROR();
}

// Views, tests and debug labels take the targets from one visit: each target once, under a name
// that the chain's own accessors agree with, with its true size, and a float encoding exactly
// where the texture holds floats.
TEST_F(HdrChain, EveryTargetIsVisitedOnceWithItsTrueSizeAndItsLabel)
{
    hdr.Init(context);
    std::map<std::string, NamedTarget> targets;
    std::set<GLuint> textures;
    hdr.ForEachTarget([&](const NamedTarget& target) {
        targets.emplace(target.label, target);
        textures.insert(target.texture);
        LabelTarget(target);
    });
    // A window-sized scene resizes the scene and the final picture in place: every name stays.
    hdr.SetSceneSize(1280, 720);
    hdr.ForEachTarget([&](const NamedTarget& target) {
        EXPECT_EQ(target.texture, targets.at(target.label).texture) << target.label;
        targets.at(target.label) = target;
    });
    for (const char* label : {"scene", "final"})
        EXPECT_EQ(std::pair(targets.at(label).width, targets.at(label).height), std::pair(1280, 720)) << label;
    EXPECT_EQ(targets.at("bright_pass").width, 512);
    EXPECT_EQ(targets.size(), 13u);
    EXPECT_EQ(textures.size(), 13u);
    EXPECT_EQ(targets.at("final").texture, hdr.GetFinalTexture());
    EXPECT_EQ(targets.at("vertical_blur").texture, hdr.GetBloomTexture());
    EXPECT_EQ(targets.at("bright_pass").texture, hdr.GetBrightPassTexture());
    EXPECT_EQ(targets.at("adapted_luminance").texture, hdr.GetAdaptedLuminanceTexture());
    for (int level = 0; level < 5; ++level)
        EXPECT_EQ(targets.at("luminance_" + std::to_string(1 << (2 * level))).texture, hdr.GetLuminanceTexture(level));
    for (const auto& [label, target] : targets)
    {
        GLint width = 0, height = 0, type = 0;
        glBindTexture(GL_TEXTURE_2D, target.texture);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_RED_TYPE, &type);
        EXPECT_EQ(width, target.width) << label;
        EXPECT_EQ(height, target.height) << label;
        EXPECT_EQ(type == GL_FLOAT, target.encoding != TargetEncoding::Colour) << label;
        char named[64] = {};
        glGetObjectLabel(GL_TEXTURE, target.texture, sizeof named, nullptr, named);
        EXPECT_EQ(label, named);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_NO_GL_ERROR();
}

TEST_F(HdrChain, AMissingEffectIsReportedOnceAndTheChainStillRuns)
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

// A sampler read as a 3D texture by a pass's vertex program and as a 2D one by its fragment
// program: each program compiles, but the two share the sampler's unit, so the pair cannot run.
const char* const UnrunnableTechnique = R"(
vertex LiftedByVolume %{
uniform mat4 mvp;
uniform sampler3D ClashingTex;
out vec2 uv;
void main()
{
    gl_Position = mvp * (gl_Vertex + vec4(0.0, texture(ClashingTex, vec3(0.5)).r, 0.0, 0.0));
    uv = gl_MultiTexCoord0.xy;
}
%}

fragment ShownFlat %{
uniform sampler2D ClashingTex;
in vec2 uv;
void main()
{
    gl_FragColor = texture(ClashingTex, uv);
}
%}

technique Unrunnable { pass P0 { VertexProgram = LiftedByVolume; FragmentProgram = ShownFlat; } }
)";

// A technique that does not validate is reported with the runtime's reason, not with an error
// left from before. Every technique the chain draws with is looked for; those the effect lacks
// are listed in one box, and their stages draw without effect state.
TEST_F(HdrChain, TechniquesThatFailValidationOrAreMissingAreReportedAndTheChainStillRuns)
{
    std::ifstream source(MERROWIND_SOURCE_DIR "/CG/HDR_FX.cgfx");
    std::string effect((std::istreambuf_iterator<char>(source)), std::istreambuf_iterator<char>());
    const std::size_t blurY = effect.find("technique VerticalBlur");
    const std::size_t finalPass = effect.find("technique FinalPass");
    ASSERT_NE(blurY, std::string::npos);
    ASSERT_NE(finalPass, std::string::npos);
    effect.erase(finalPass);
    effect.replace(blurY, std::string("technique VerticalBlur").size(), "technique BlurAlongY");
    effect += UnrunnableTechnique;
    {
        EmptyWorkingDirectory folder;
        std::filesystem::create_directory("CG");
        std::ofstream("CG/HDR_FX.cgfx") << effect;
        hdr.Init(context);
    }
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, "Technique not validated!");
    EXPECT_EQ(boxes[0].text, "The technique did not pass validation on this hardware.");
    EXPECT_EQ(boxes[1].caption, "Technique not validated!");
    EXPECT_EQ(boxes[1].text, "CG/HDR_FX.cgfx: the effect has no technique 'VerticalBlur'\n"
                             "CG/HDR_FX.cgfx: the effect has no technique 'FinalPass'\n");

    RunFrameOfColour(0.5f, 0.5f, 0.5f);
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_NO_GL_ERROR();
}

TEST_F(HdrChain, AConstantSceneUnderTheThresholdIsMeasuredExactlyAndHasNoBloom)
{
    hdr.Init(context);
    // A colour whose luminance moves far beyond the tolerance under other weights: 36 % under
    // equal ones, 16 % with red's and blue's swapped.
    for (const auto& [width, height] : SceneSizes)
    {
        hdr.SetSceneSize(width, height);
        RunFrameOfColour(0.5f, 0.125f, 0.25f);

        const float luminance = Luminance(0.5f, 0.125f, 0.25f);
        const Image measured = ReadTexture(hdr.GetLuminanceTexture(0));
        ASSERT_EQ(measured.width, 1);
        EXPECT_NEAR(std::exp(measured.Red(0, 0)), luminance, 0.01f * luminance) << width;
        EXPECT_EQ(MaximumOf(ReadTexture(hdr.GetBrightPassTexture())), 0.0f) << width;
        EXPECT_EQ(MaximumOf(ReadTexture(hdr.GetBloomTexture())), 0.0f) << width;

        // Every quad covers its whole target: no clear colour shows at the edges of the picture.
        const Image picture = ReadTexture(hdr.GetFinalTexture());
        ASSERT_EQ(picture.width, width);
        ASSERT_EQ(picture.height, height);
        for (size_t i = 0; i < picture.texels.size(); i += 4)
        {
            ASSERT_EQ(picture.texels[i], picture.texels[0]) << width << ", texel " << i / 4;
            ASSERT_EQ(picture.texels[i + 1], picture.texels[1]) << width << ", texel " << i / 4;
        }
        EXPECT_GT(picture.texels[0], picture.texels[1]);
        EXPECT_GT(picture.texels[0], 0.1f);
        EXPECT_LT(picture.texels[0], 0.95f);
    }
    EXPECT_NO_GL_ERROR();
}

// The eye follows the reference's adaptation step frame by frame, up to a bright level and back
// down; 1 % covers the half floats the adapted luminance is kept in.
TEST_F(HdrChain, AdaptationFollowsTheReferenceStepUpAndDown)
{
    hdr.Init(context);
    double expected = 0.3;
    EXPECT_NEAR(AdaptedLuminance(), expected, 0.001);
    for (const auto& [value, frames] : {std::pair{2.0f, 60}, std::pair{0.1f, 10}})
    {
        const double measured = HdrReference::LogAverage(HdrReference::Image(SceneWidth, SceneHeight, value));
        for (int frame = 0; frame < frames; ++frame)
        {
            RunFrameOfColour(value, value, value);
            expected = HdrReference::Adapt(expected, measured, ElapsedTime);
            ASSERT_NEAR(AdaptedLuminance(), expected, 0.01 * expected) << value << ", frame " << frame;
        }
    }
    EXPECT_NO_GL_ERROR();
}

// The eye adapts by the time that passed, not by the frames: run at 20, 60 and 240 frames a
// second, each frame's step converted from seconds as the program's frame converts it, the chain
// stands where the model's exponential in time puts the eye at the same moments, early in a
// change and near its end, to half a percent. The model takes the eye's speed, 19.8 time units a
// second, as written here and not from the chain, so that an eye adapting at another speed fails
// (at 60 Hz, 0.25 s after the step it stands 63 % of the way; at half the speed, 39 %).
TEST_F(HdrChain, TheEyeAdaptsAlikeAtAnyFrameRate)
{
    constexpr double EyeTimeUnitsPerSecond = 19.8;
    constexpr float Dim = 0.1f;
    constexpr float Bright = 2.0f;
    hdr.Init(context);
    const double start = HdrReference::LogAverage(HdrReference::Image(SceneWidth, SceneHeight, Dim));
    const double target = HdrReference::LogAverage(HdrReference::Image(SceneWidth, SceneHeight, Bright));
    for (const int rate : {20, 60, 240})
    {
        Settle([=] { FillScene(Dim, Dim, Dim); });
        const float step = static_cast<float>(CHDRPostProcess::TimeUnitsPerSecond / rate);
        int frames = 0;
        for (const int milliseconds : {250, 1000})
        {
            for (; frames < milliseconds * rate / 1000; ++frames)
                RunFrame([=] { FillScene(Bright, Bright, Bright); }, step);
            const double expected =
                HdrReference::Adapt(start, target, EyeTimeUnitsPerSecond * milliseconds / 1000.0);
            EXPECT_NEAR(AdaptedLuminance(), expected, 0.005 * expected) << rate << " Hz, " << milliseconds << " ms";
        }
    }
    EXPECT_NO_GL_ERROR();
}

// Lighting one column (then one row) of an even scene changes the measured log-average by that
// line's weight in the measurement. Against the change the reference gives for a uniform weighting,
// every column and row weighs between half and twice its share, at the fixed scene size and at a
// window's, whose texels do not divide evenly into the luminance target's. At the fixed size
// every line weighs what the four taps laid out for it give it, where an area average would give
// each 1. The recorded window size does not matter: the lines alternate between the program's
// window size and an odd one.
TEST_F(HdrChain, MeteringWeighsEveryColumnAndRowBetweenHalfAndTwiceItsShare)
{
    constexpr float Even = 1.0f;
    constexpr float Lit = 1.25f;
    // Every eleventh line and the four outermost on each side keep the test short: a step prime to
    // the reductions' factors meets every place a line can take in their footprints. With a step
    // of 1 it checks every line.
    constexpr int LineStep = 11;
    constexpr std::array<std::array<float, 2>, 2> WindowSizes = {{{640.0f, 480.0f}, {517.0f, 389.0f}}};
    hdr.Init(context);
    auto measure = [&](int line, int width, int height) {
        const std::array<float, 2>& window = WindowSizes[std::max(line, 0) % 2];
        hdr.BeginScene(window[0], window[1], ElapsedTime);
        FillScene(Even, Even, Even);
        if (line >= 0)
            FillRectangle(width == 1 ? line : 0, width == 1 ? 0 : line, width, height, Lit);
        hdr.EndScene();
        hdr.Process();
        return MeasuredLogAverage();
    };
    struct Lines
    {
        const char* name;
        int count;
        int width;
        int height;
    };
    // At 1024 x 768 a metered texel's footprint is 4 x 3 scene pixels, read by four linear taps,
    // and the log is taken of what each read averages: a column lies under two of the taps with
    // half their weight, the middle row of three under all four with a quarter, the outer rows
    // under two with three quarters.
    auto laidOutWeight = [](const Lines& lines, int line) {
        const auto read = [](int taps, double part, int linesPerTexel)
        { return taps * std::log1p(part * (Lit - Even) / Even) / 4.0 * linesPerTexel / std::log(Lit / Even); };
        if (lines.width == 1)
            return read(2, 0.5, 4);
        return line % 3 == 1 ? read(4, 0.25, 3) : read(2, 0.75, 3);
    };
    for (const auto& [sceneWidth, sceneHeight] : SceneSizes)
    {
        hdr.SetSceneSize(sceneWidth, sceneHeight);
        const float even = measure(-1, 0, 0);
        for (const Lines& lines :
             {Lines{"column", sceneWidth, 1, sceneHeight}, Lines{"row", sceneHeight, sceneWidth, 1}})
        {
            HdrReference::Image oneLit(sceneWidth, sceneHeight, Even);
            for (int i = 0; i < lines.width * lines.height; ++i)
                oneLit.At(i % lines.width, i / lines.width) = Lit;
            const double share = std::log(HdrReference::LogAverage(oneLit)) -
                                 std::log(HdrReference::LogAverage(HdrReference::Image(sceneWidth, sceneHeight, Even)));
            double lightest = 1e9;
            double heaviest = -1e9;
            for (int line = 0; line < lines.count; line += (line < 4 || line >= lines.count - 5) ? 1 : LineStep)
            {
                const double weight = (measure(line, lines.width, lines.height) - even) / share;
                lightest = std::min(lightest, weight);
                heaviest = std::max(heaviest, weight);
                EXPECT_GE(weight, 0.5) << sceneWidth << ": " << lines.name << " " << line;
                EXPECT_LE(weight, 2.0) << sceneWidth << ": " << lines.name << " " << line;
                if (sceneWidth == SceneWidth)
                {
                    EXPECT_NEAR(weight, laidOutWeight(lines, line), 0.02) << lines.name << " " << line;
                }
            }
            RecordProperty(std::to_string(sceneWidth) + lines.name + "Weights",
                           std::to_string(lightest) + " .. " + std::to_string(heaviest));
        }
    }
    EXPECT_NO_GL_ERROR();
}

// A glint (value 200) of one pixel, then of 2 x 2, at each of the 32 x 24 positions of a patch:
// its bloom carries the same energy wherever it falls, within 25 % (15 % for 2 x 2) of the mean
// over the positions, so the bloom on moving water does not flicker; at the fixed scene size and
// at a window's, whose texels do not divide evenly into the bright pass's. One frame holds 8 x 8
// glints, one in each eighth of the scene across and down, whose blooms stay inside their tiles;
// in the first, each glint's energy is the reference's to within 10 %.
TEST_F(HdrChain, AGlintBloomsWithTheSameEnergyWhereverItFalls)
{
    constexpr float Glint = 200.0f;
    constexpr int Tiles = 8;
    constexpr int BloomTile = 128 / Tiles;
    constexpr int PatchWidth = 32;
    constexpr int PatchHeight = 24;
    hdr.Init(context);
    for (const auto& [sceneWidth, sceneHeight] : SceneSizes)
    {
        const int tileWidth = sceneWidth / Tiles;
        const int tileHeight = sceneHeight / Tiles;
        hdr.SetSceneSize(sceneWidth, sceneHeight);
        for (const auto& [size, tolerance] : {std::pair{1, 0.25}, std::pair{2, 0.15}})
        {
            SCOPED_TRACE(std::to_string(sceneWidth) + " x " + std::to_string(sceneHeight) + " scene, glints of " +
                         std::to_string(size) + " x " + std::to_string(size));
            std::vector<double> energies;
            for (int first = 0; first < PatchWidth * PatchHeight; first += Tiles * Tiles)
            {
                auto glintAt = [&](int tile) {
                    const int position = first + tile;
                    return std::pair{(tile % Tiles) * tileWidth + 48 + position % PatchWidth,
                                     (tile / Tiles) * tileHeight + 36 + position / PatchWidth};
                };
                RunFrame([&] {
                    FillScene(0.0f, 0.0f, 0.0f);
                    for (int tile = 0; tile < Tiles * Tiles; ++tile)
                        FillRectangle(glintAt(tile).first, glintAt(tile).second, size, size, Glint);
                });
                auto energyOf = [&](int tile, auto texel) {
                    double energy = 0.0;
                    for (int y = 0; y < BloomTile; ++y)
                    {
                        for (int x = 0; x < BloomTile; ++x)
                            energy += texel((tile % Tiles) * BloomTile + x, (tile / Tiles) * BloomTile + y);
                    }
                    return energy;
                };
                const Image bloom = ReadTexture(hdr.GetBloomTexture());
                for (int tile = 0; tile < Tiles * Tiles; ++tile)
                    energies.push_back(energyOf(tile, [&](int x, int y) { return bloom.Red(x, y); }));
                if (first > 0)
                    continue;
                HdrReference::Image scene(sceneWidth, sceneHeight);
                for (int tile = 0; tile < Tiles * Tiles; ++tile)
                {
                    for (int i = 0; i < size * size; ++i)
                        scene.At(glintAt(tile).first + i % size, glintAt(tile).second + i / size) = Glint;
                }
                const HdrReference::Image expected = HdrReference::Bloom(scene, Threshold);
                for (int tile = 0; tile < Tiles * Tiles; ++tile)
                {
                    const double reference = energyOf(tile, [&](int x, int y) { return expected.At(x, y); });
                    EXPECT_NEAR(energies[tile], reference, 0.1 * reference) << "tile " << tile;
                }
            }
            const double mean = std::accumulate(energies.begin(), energies.end(), 0.0) / energies.size();
            const auto [least, most] = std::minmax_element(energies.begin(), energies.end());
            EXPECT_GT(*least, (1.0 - tolerance) * mean) << "at position " << least - energies.begin();
            EXPECT_LT(*most, (1.0 + tolerance) * mean) << "at position " << most - energies.begin();
            const auto dark = std::count(energies.begin(), energies.end(), 0.0);
            RecordProperty("energy" + std::to_string(sceneWidth) + "_" + std::to_string(size),
                           std::to_string(*least / mean) + " .. " + std::to_string(*most / mean) + ", none at " +
                               std::to_string(dark) + " of " + std::to_string(energies.size()));
        }
    }
    EXPECT_NO_GL_ERROR();
}

// Spots of 8 x 8 (value 20) at the centre and 48 pixels in from each side (42 from the top and
// bottom), clear of the blur's reach of the edge and on the bloom's grid of 8 x 6 scene pixels
// as the centre is (off it, the reduction to the bloom alone moves a centroid by a fraction of a
// pixel): each one's bloom is the reference's to within 5 % of its peak and centred on the spot
// to within half a scene pixel; on the picture the glow left and right of the centre spot, and
// below and above it, differ by less than 10 %, and the glow falls off smoothly, pixel by pixel.
TEST_F(HdrChain, ASpotBloomsAsTheReferenceCentredOnItself)
{
    constexpr float Spot = 20.0f;
    constexpr std::array<std::array<int, 2>, 5> Centres = {{{512, 384}, {48, 384}, {976, 384}, {512, 42}, {512, 726}}};
    constexpr double PixelsPerTexelX = SceneWidth / 128.0;
    constexpr double PixelsPerTexelY = SceneHeight / 128.0;
    hdr.Init(context);
    HdrReference::Image scene(SceneWidth, SceneHeight);
    RunFrame([&] {
        FillScene(0.0f, 0.0f, 0.0f);
        for (const auto& [x, y] : Centres)
            FillRectangle(x - 4, y - 4, 8, 8, Spot);
    });
    for (const auto& [x, y] : Centres)
    {
        for (int j = y - 4; j < y + 4; ++j)
        {
            for (int i = x - 4; i < x + 4; ++i)
                scene.At(i, j) = Spot;
        }
    }
    const HdrReference::Image expected = HdrReference::Bloom(scene, Threshold);
    const Image bloom = ReadTexture(hdr.GetBloomTexture());
    for (const auto& [x, y] : Centres)
    {
        // The bloom reaches 5 texels beyond the spot's; the window takes 8, inside the image.
        const int left = std::max(static_cast<int>(x / PixelsPerTexelX) - 8, 0);
        const int right = std::min(static_cast<int>(x / PixelsPerTexelX) + 8, 128);
        const int bottom = std::max(static_cast<int>(y / PixelsPerTexelY) - 8, 0);
        const int top = std::min(static_cast<int>(y / PixelsPerTexelY) + 8, 128);
        double peak = 0.0;
        for (int j = bottom; j < top; ++j)
        {
            for (int i = left; i < right; ++i)
                peak = std::max(peak, expected.At(i, j));
        }
        double energy = 0.0;
        double sumX = 0.0;
        double sumY = 0.0;
        double difference = 0.0;
        for (int j = bottom; j < top; ++j)
        {
            for (int i = left; i < right; ++i)
            {
                const double value = bloom.Red(i, j);
                difference = std::max(difference, std::abs(value - expected.At(i, j)));
                energy += value;
                sumX += value * (i + 0.5) * PixelsPerTexelX;
                sumY += value * (j + 0.5) * PixelsPerTexelY;
            }
        }
        EXPECT_LT(difference, 0.05 * peak) << "spot at " << x << ", " << y;
        EXPECT_NEAR(sumX / energy, x, 0.5) << "spot at " << x << ", " << y;
        EXPECT_NEAR(sumY / energy, y, 0.5) << "spot at " << x << ", " << y;
        RecordProperty("spot" + std::to_string(x) + "_" + std::to_string(y),
                       std::to_string(difference / peak) + "; " + std::to_string(sumX / energy - x) + ", " +
                           std::to_string(sumY / energy - y));
    }

    const Image picture = ReadTexture(hdr.GetFinalTexture());
    for (int distance : {8, 16, 24})
    {
        const float leftGlow = picture.Red(511 - distance, 384);
        const float rightGlow = picture.Red(512 + distance, 384);
        const float glowBelow = picture.Red(512, 383 - distance);
        const float glowAbove = picture.Red(512, 384 + distance);
        EXPECT_GT(std::min(leftGlow, glowBelow), 0.0f) << distance;
        EXPECT_LT(std::abs(rightGlow / leftGlow - 1.0f), 0.1f) << distance << ": " << leftGlow << " against " << rightGlow;
        EXPECT_LT(std::abs(glowAbove / glowBelow - 1.0f), 0.1f) << distance << ": " << glowBelow << " against " << glowAbove;
        RecordProperty("glowRightOverLeft" + std::to_string(distance), std::to_string(rightGlow / leftGlow));
        RecordProperty("glowAboveOverBelow" + std::to_string(distance), std::to_string(glowAbove / glowBelow));
    }
    // The glow is magnified 8 times from the bloom texture: filtered bilinearly, a change between two
    // bloom texels spreads evenly over the 8 pixels between their centres, so no step between
    // neighbouring pixels comes near the change over 8 pixels (unfiltered, whole at one pixel).
    float largestStep = 0.0f;
    float largestChangeOverATexel = 0.0f;
    for (int x = 524; x < 560; ++x)
    {
        largestStep = std::max(largestStep, std::abs(picture.Red(x + 1, 384) - picture.Red(x, 384)));
        largestChangeOverATexel =
            std::max(largestChangeOverATexel, std::abs(picture.Red(x + 8, 384) - picture.Red(x, 384)));
    }
    EXPECT_LT(largestStep, 0.35f * largestChangeOverATexel);
    EXPECT_NO_GL_ERROR();
}

// Constant scenes from 0.02 to 10, the eye settled on each: the measured log-average, the bloom and
// the picture are the reference's; bloom and picture are flat, and the picture shows every level
// as a mid-tone (0.25 to 0.75): bright views are not washed out, dim ones not lost in black.
TEST_F(HdrChain, EveryConstantLevelSettlesToAFlatMidToneAsTheReferenceHasIt)
{
    hdr.Init(context);
    for (float level : {0.02f, 0.1f, 0.3f, 1.0f, 3.0f, 10.0f})
    {
        Settle([=] { FillScene(level, level, level); });
        const float adapted = AdaptedLuminance();
        const HdrReference::Image scene(SceneWidth, SceneHeight, level);
        const double logAverage = HdrReference::LogAverage(scene);
        EXPECT_NEAR(std::exp(MeasuredLogAverage()), logAverage, 0.01 * logAverage) << level;
        EXPECT_NEAR(adapted, logAverage, 0.01 * logAverage) << level;

        const double expectedBloom = std::max(level - Threshold, 0.0f);
        const Image bloom = ReadTexture(hdr.GetBloomTexture());
        const Image picture = ReadTexture(hdr.GetFinalTexture());
        const float display = picture.Red(0, 0);
        for (size_t i = 0; i < bloom.texels.size(); i += 4)
            ASSERT_NEAR(bloom.texels[i], expectedBloom, 0.002 * expectedBloom) << level << ", texel " << i / 4;
        for (size_t i = 0; i < picture.texels.size(); i += 4)
            ASSERT_EQ(picture.texels[i], display) << level << ", texel " << i / 4;
        EXPECT_NEAR(display, HdrReference::Display(level, expectedBloom, logAverage), 0.005) << level;
        EXPECT_GE(display, 0.25f) << level;
        EXPECT_LE(display, 0.75f) << level;
        RecordProperty("display" + std::to_string(level), std::to_string(display));
    }
    EXPECT_NO_GL_ERROR();
}

// A scene that rises exponentially from 0.01 on the left to 100 on the right, without bloom, grey
// in its lower half and a warm colour of the same luminance in its upper half. Once the eye has
// settled, every column of the grey half is the reference's tone curve to within 0.005, never
// darker than the column to its left, and the highlights reach white without a step. The warm
// half keeps its hue through the shadows and mid-tones and its highlights, too, end in white.
TEST_F(HdrChain, HighlightsRollOffSmoothlyToWhiteAlongTheToneCurve)
{
    const std::array<float, 3> warm = {1.0f / 0.6634f, 0.6f / 0.6634f, 0.3f / 0.6634f};
    hdr.Init(context);
    hdr.Settings().brightPassThreshold = 1e6f;
    auto valueAt = [](int x) { return 0.01 * std::pow(1e4, x / (SceneWidth - 1.0)); };
    Settle([&] {
        for (int x = 0; x < SceneWidth; ++x)
        {
            const float value = static_cast<float>(valueAt(x));
            FillRectangle(x, 0, 1, SceneHeight / 2, value);
            FillRectangle(x, SceneHeight / 2, 1, SceneHeight / 2, warm[0] * value, warm[1] * value, warm[2] * value);
        }
    });
    HdrReference::Image scene(SceneWidth, SceneHeight);
    for (int y = 0; y < SceneHeight; ++y)
    {
        for (int x = 0; x < SceneWidth; ++x)
            scene.At(x, y) = valueAt(x);
    }
    const double adapted = HdrReference::LogAverage(scene);
    EXPECT_NEAR(AdaptedLuminance(), adapted, 0.02 * adapted);
    const Image picture = ReadTexture(hdr.GetFinalTexture());
    constexpr int Grey = 200;
    constexpr int Warm = 600;
    for (int x = 0; x < SceneWidth; ++x)
    {
        const float display = picture.Red(x, Grey);
        ASSERT_NEAR(display, HdrReference::Display(static_cast<float>(valueAt(x)), 0.0, adapted), 0.005) << x;
        if (x > 0)
        {
            ASSERT_GE(display, picture.Red(x - 1, Grey)) << x;
            ASSERT_LT(display - picture.Red(x - 1, Grey), 0.01f) << x;
        }
        const float red = picture.Red(x, Warm);
        const float green = picture.texels[(static_cast<size_t>(Warm) * SceneWidth + x) * 4 + 1];
        if (red > 0.05f && red < 0.5f)
        {
            ASSERT_NEAR(green / red, 0.6f, 0.02f) << x;
        }
    }
    EXPECT_EQ(picture.Red(SceneWidth - 1, Grey), 1.0f);
    for (int channel = 0; channel < 3; ++channel)
        EXPECT_GT(picture.texels[(static_cast<size_t>(Warm) * SceneWidth + SceneWidth - 1) * 4 + channel], 0.99f) << channel;
    EXPECT_NO_GL_ERROR();
}

// Each HDR setting is a uniform of the effect: the file's initializer is the setting's default,
// and a setting changed reaches its uniform, and only its own, at the next frame. The threshold
// the chain was handed reaches the bright pass, whatever the setting, and the tone map is told
// the size of a bloom texel, 1/128. The final pass sets its exposure every frame: a value left
// in the effect by anything else lasts until the next frame, with no setting changed.
TEST_F(HdrChain, EachSettingAndEachValueHandedOverReachesItsUniform)
{
    const struct
    {
        float HdrSettings::*value;
        const char* uniform;
    } uniforms[] = {
        {&HdrSettings::exposure, "FinalPassExposure"},
        {&HdrSettings::key, "ExposureKey"},
        {&HdrSettings::brightPassThreshold, "BrightPassTreshold"},
        {&HdrSettings::adaptationRate, "AdaptationRate"},
        {&HdrSettings::bloomStrength, "BloomStrength"},
    };
    ASSERT_EQ(std::size(uniforms), std::size(HdrSettingFields)) << "every setting is in the table";
    ASSERT_NE(cgCreateEffectFromFile(context, "CG/HDR_FX.cgfx", nullptr), nullptr);
    hdr.Init(context);
    const CEffect& fresh = *FromHandle(context)->Effects().at(0);
    const CEffect& used = *FromHandle(context)->Effects().at(1);
    // The uniform's value in the effect's program that has it.
    const auto valueIn = [](const CEffect& effect, const char* uniform)
    {
        float value = -99.0f;
        for (const auto& program : effect.Programs())
        {
            const GLint location = glGetUniformLocation(program->Name(), uniform);
            if (location >= 0)
                glGetUniformfv(program->Name(), location, &value);
        }
        return value;
    };
    for (const auto& changed : uniforms)
    {
        SCOPED_TRACE(changed.uniform);
        const HdrSettings defaults;
        EXPECT_EQ(valueIn(fresh, changed.uniform), defaults.*changed.value);
        hdr.Settings() = defaults;
        hdr.Settings().*changed.value = defaults.*changed.value * 1.5f;
        RunFrameOfColour(0.5f, 0.5f, 0.5f);
        for (const auto& uniform : uniforms)
            EXPECT_EQ(valueIn(used, uniform.uniform), hdr.Settings().*uniform.value) << uniform.uniform;
    }
    hdr.Settings() = HdrSettings{};
    hdr.SetBrightPassThreshold(2.75f);
    hdr.BeginScene(640.0f, 480.0f, ElapsedTime);
    hdr.EndScene();
    hdr.Process();
    EXPECT_EQ(valueIn(used, "BrightPassTreshold"), 2.75f);
    EXPECT_EQ(valueIn(used, "FinalPassRcpBlurWidth"), 0.0078125f);
    EXPECT_EQ(valueIn(used, "FinalPassRcpBlurHeight"), 0.0078125f);

    const CGeffect usedHandle = ToHandle(FromHandle(context)->Effects().at(1).get());
    cgGLSetParameter1f(cgGetNamedEffectParameter(usedHandle, "FinalPassExposure"), 4.0f);
    ASSERT_EQ(valueIn(used, "FinalPassExposure"), 4.0f);
    RunFrameOfColour(0.5f, 0.5f, 0.5f);
    EXPECT_EQ(valueIn(used, "FinalPassExposure"), HdrSettings{}.exposure);
    EXPECT_NO_GL_ERROR();
}
