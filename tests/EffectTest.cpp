// SPDX-License-Identifier: MIT
#include "GlContext.h"
#include "ScratchFolder.h"

#include "shader/CShaderReloader.h"
#include "shader/CgGL.h"

#include <array>

namespace
{
const char* const TwoTechniques = R"(// Two techniques drawing one quad program.
shared %{
uniform vec4 Tint;
%}

vertex Quad %{
uniform mat4 mvp;
out vec2 uv;
void main()
{
    gl_Position = mvp * gl_Vertex;
    uv = gl_MultiTexCoord0.xy;
}
%}

fragment Solid %{
void main()
{
    gl_FragColor = Tint;
}
%}

fragment Textured %{
uniform sampler2D NearestTex;
uniform sampler2D LinearTex;
in vec2 uv;
void main()
{
    gl_FragColor = texture(NearestTex, uv) + texture(LinearTex, uv) + Tint;
}
%}

sampler NearestTex { MinFilter = Nearest; MagFilter = Nearest; WrapS = ClampToEdge; WrapT = Repeat; }
sampler LinearTex { MinFilter = Linear; MagFilter = Linear; WrapS = Clamp; WrapT = Clamp; }

technique Fill
{
    pass P0
    {
        VertexProgram = Quad;
        FragmentProgram = Solid;
        DepthTestEnable = true;
        DepthMask = false;
        BlendEnable = true;
        CullFaceEnable = false;
    }
}

technique Sample { pass P0 { VertexProgram = Quad; FragmentProgram = Textured; } }
)";

using Rgba = std::array<unsigned char, 4>;

GLint Integer(GLenum name)
{
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}

GLint PipelineStage(GLenum stage)
{
    GLint program = 0;
    glGetProgramPipelineiv(static_cast<GLuint>(Integer(GL_PROGRAM_PIPELINE_BINDING)), stage, &program);
    return program;
}

// The unit a sampler uniform of the current fragment program reads from.
GLint UnitOf(const char* sampler)
{
    GLuint program = static_cast<GLuint>(PipelineStage(GL_FRAGMENT_SHADER));
    GLint unit = -1;
    glGetUniformiv(program, glGetUniformLocation(program, sampler), &unit);
    return unit;
}

GLint BindingOnUnit(GLint unit, GLenum binding)
{
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
    GLint name = Integer(binding);
    glActiveTexture(GL_TEXTURE0);
    return name;
}

GLint SamplerParameter(GLuint sampler, GLenum name)
{
    GLint value = 0;
    glGetSamplerParameteriv(sampler, name, &value);
    return value;
}

// Red on the left texel, blue on the right, with texture parameters of its own that the effect's
// sampler state must override.
GLuint MakeRedBlueTexture()
{
    const unsigned char texels[] = {255, 0, 0, 255, 0, 0, 255, 255};
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 2, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

void SetRenderStates(bool depthTest, bool depthMask, bool blend, bool cullFace)
{
    depthTest ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
    glDepthMask(depthMask ? GL_TRUE : GL_FALSE);
    blend ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
    cullFace ? glEnable(GL_CULL_FACE) : glDisable(GL_CULL_FACE);
}

void ExpectRenderStates(bool depthTest, bool depthMask, bool blend, bool cullFace)
{
    GLboolean mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST) == GL_TRUE, depthTest);
    EXPECT_EQ(mask == GL_TRUE, depthMask);
    EXPECT_EQ(glIsEnabled(GL_BLEND) == GL_TRUE, blend);
    EXPECT_EQ(glIsEnabled(GL_CULL_FACE) == GL_TRUE, cullFace);
}
}

class Effect : public GlTest
{
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        context = cgCreateContext();
        cgGLRegisterStates(context);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClearDepth(1.0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }

    void TearDown() override
    {
        cgDestroyContext(context);
        SetRenderStates(false, true, false, false);
        GlTest::TearDown();
    }

    CGeffect Load(const std::string& text)
    {
        return cgCreateEffectFromFile(context, files.Write("effect.cgfx", text).c_str(), nullptr);
    }

    // Draws a quad over the window through the first pass of `technique`.
    void DrawThrough(CGeffect effect, const char* technique)
    {
        DrawThrough(effect, cgGetNamedTechnique(effect, technique));
    }

    void DrawThrough(CGeffect effect, CGtechnique technique)
    {
        CGpass pass = cgGetFirstPass(technique);
        cgSetPassState(pass);
        cgGLSetStateMatrixParameter(cgGetNamedEffectParameter(effect, "mvp"), CG_GL_MODELVIEW_PROJECTION_MATRIX,
                                    CG_GL_MATRIX_IDENTITY);
        DrawClipSpaceQuad();
        cgResetPassState(pass);
    }

    static Rgba PixelAt(int x, int y)
    {
        std::vector<unsigned char> pixel = ReadPixels(x, y, 1, 1);
        return {pixel[0], pixel[1], pixel[2], pixel[3]};
    }

    ScratchFolder files;
    CGcontext context = nullptr;
};

TEST_F(Effect, TechniquesAreWalkedValidatedAndFoundByName)
{
    CGeffect effect = Load(TwoTechniques);
    ASSERT_NE(effect, nullptr) << cgGetLastListing(context);

    CGtechnique first = cgGetFirstTechnique(effect);
    CGtechnique second = cgGetNextTechnique(first);
    EXPECT_EQ(first, cgGetNamedTechnique(effect, "Fill"));
    EXPECT_EQ(second, cgGetNamedTechnique(effect, "Sample"));
    EXPECT_EQ(cgGetNextTechnique(second), nullptr);
    EXPECT_EQ(cgGetNamedTechnique(effect, "Missing"), nullptr);
    EXPECT_EQ(cgValidateTechnique(first), CG_TRUE) << cgGetLastListing(context);
    EXPECT_EQ(cgValidateTechnique(second), CG_TRUE) << cgGetLastListing(context);
    EXPECT_EQ(cgGetError(), CG_NO_ERROR);

    EXPECT_NE(cgGetNamedEffectParameter(effect, "Tint"), nullptr);
    EXPECT_NE(cgGetNamedEffectParameter(effect, "NearestTex"), nullptr);
    EXPECT_EQ(cgGetNamedEffectParameter(effect, "Missing"), nullptr);
    EXPECT_EQ(cgGetFirstTechnique(nullptr), nullptr);
    EXPECT_EQ(cgGetFirstPass(nullptr), nullptr);
    cgSetPassState(nullptr);
    cgResetPassState(nullptr);
    EXPECT_NO_GL_ERROR();
}

TEST_F(Effect, FailuresGiveNullAndAListingWithFileAndLine)
{
    std::string path = files.PathOf("effect.cgfx");
    EXPECT_EQ(Load("technique T\n{\n    pas P { }\n}\n"), nullptr);
    EXPECT_EQ(cgGetError(), CG_COMPILER_ERROR);
    EXPECT_EQ(std::string(cgGetLastListing(context)), path + "(3): expected 'pass' or '}', found 'pas'\n");

    // A GLSL error is listed on the line of the file where it stands.
    std::string broken = TwoTechniques;
    broken.replace(broken.find("gl_FragColor = Tint;"), 20, "gl_FragColor = Tin;");
    EXPECT_EQ(Load(broken), nullptr);
    EXPECT_EQ(cgGetError(), CG_COMPILER_ERROR);
    std::string listing = cgGetLastListing(context);
    EXPECT_EQ(listing.rfind(path + "(19): ", 0), 0u) << listing;
    EXPECT_NE(listing.find("Tin"), std::string::npos) << listing;
    // An error in the shared block is listed once, not once for every program that includes it.
    std::string brokenShared = TwoTechniques;
    brokenShared.replace(brokenShared.find("uniform vec4 Tint;"), 18, "uniform vec5 Tint;");
    EXPECT_EQ(Load(brokenShared), nullptr);
    listing = cgGetLastListing(context);
    EXPECT_EQ(listing.rfind(path + "(3): ", 0), 0u) << listing;
    EXPECT_EQ(listing.find(path + "(3): ", 1), std::string::npos) << listing;
    // A misspelt sampler block would lose its state without a word; one that differs only in
    // case reads like the sampler's name, and is named with it.
    const struct
    {
        const char* block;
        const char* listing;
    } misspelt[] = {
        {"sampler LinerTex", "(34): no program uses a sampler named 'LinerTex'\n"},
        {"sampler linearTex", "(34): no program uses a sampler named 'linearTex' (names differ in case: a program "
                              "uses 'LinearTex')\n"},
    };
    for (const auto& sampler : misspelt)
    {
        std::string misspeltSampler = TwoTechniques;
        misspeltSampler.replace(misspeltSampler.find("sampler LinearTex"), 17, sampler.block);
        EXPECT_EQ(Load(misspeltSampler), nullptr);
        EXPECT_EQ(cgGetError(), CG_COMPILER_ERROR);
        EXPECT_EQ(std::string(cgGetLastListing(context)), path + sampler.listing);
    }

    EXPECT_EQ(cgCreateEffectFromFile(context, files.PathOf("absent.cgfx").c_str(), nullptr), nullptr);
    EXPECT_EQ(cgGetError(), CG_FILE_READ_ERROR);
    EXPECT_EQ(std::string(cgGetLastListing(context)), files.PathOf("absent.cgfx") + ": The file could not be read.\n");
    EXPECT_NO_GL_ERROR();
}

TEST_F(Effect, PassStateBindsTheProgramsAndResetRestoresTheRenderStates)
{
    CGeffect effect = Load(TwoTechniques);
    ASSERT_NE(effect, nullptr) << cgGetLastListing(context);
    CGpass pass = cgGetFirstPass(cgGetNamedTechnique(effect, "Fill"));
    cgSetParameter4f(cgGetNamedEffectParameter(effect, "Tint"), 0.0f, 1.0f, 0.0f, 1.0f);
    SetRenderStates(false, true, false, true);

    cgSetPassState(pass);
    ExpectRenderStates(true, false, true, false);
    EXPECT_NE(Integer(GL_PROGRAM_PIPELINE_BINDING), 0);
    EXPECT_NE(PipelineStage(GL_VERTEX_SHADER), 0);
    EXPECT_NE(PipelineStage(GL_FRAGMENT_SHADER), 0);
    cgResetPassState(pass);
    ExpectRenderStates(false, true, false, true);
    EXPECT_EQ(Integer(GL_PROGRAM_PIPELINE_BINDING), 0);
    EXPECT_EQ(Integer(GL_CURRENT_PROGRAM), 0);

    SetRenderStates(false, true, false, false);
    DrawThrough(effect, "Fill");
    EXPECT_EQ(PixelAt(320, 240), (Rgba{0, 255, 0, 255})) << "drawn by the pass";
    glColor3f(1.0f, 0.0f, 1.0f);
    glRectf(-1.0f, -1.0f, 0.0f, 1.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
    EXPECT_EQ(PixelAt(160, 240), (Rgba{255, 0, 255, 255})) << "drawn by the fixed function after the reset";
    EXPECT_NO_GL_ERROR();
}

TEST_F(Effect, AParameterOfSeveralProgramsSetsThemAll)
{
    CGeffect effect = Load(TwoTechniques);
    ASSERT_NE(effect, nullptr) << cgGetLastListing(context);
    cgGLSetParameter4f(cgGetNamedEffectParameter(effect, "Tint"), 0.25f, 0.5f, 0.75f, 1.0f);

    for (const char* technique : {"Fill", "Sample"})
    {
        SCOPED_TRACE(technique);
        CGpass pass = cgGetFirstPass(cgGetNamedTechnique(effect, technique));
        cgSetPassState(pass);
        GLuint program = static_cast<GLuint>(PipelineStage(GL_FRAGMENT_SHADER));
        std::array<float, 4> tint{};
        glGetUniformfv(program, glGetUniformLocation(program, "Tint"), tint.data());
        EXPECT_EQ(tint, (std::array<float, 4>{0.25f, 0.5f, 0.75f, 1.0f}));
        cgResetPassState(pass);
    }
    EXPECT_NO_GL_ERROR();
}

// Setting up a sampler and enabling a texture set on it both apply the effect's sampler state.
TEST_F(Effect, SetupSamplerAndEnablingATextureApplyTheEffectsSamplerState)
{
    CGeffect effect = Load(TwoTechniques);
    ASSERT_NE(effect, nullptr) << cgGetLastListing(context);
    CGpass pass = cgGetFirstPass(cgGetNamedTechnique(effect, "Sample"));
    CGparameter nearest = cgGetNamedEffectParameter(effect, "NearestTex");
    CGparameter linear = cgGetNamedEffectParameter(effect, "LinearTex");
    cgSetParameter4f(cgGetNamedEffectParameter(effect, "Tint"), 0.0f, 0.0f, 0.0f, 0.0f);
    GLuint texture = MakeRedBlueTexture();

    cgSetPassState(pass);
    GLint nearestUnit = UnitOf("NearestTex");
    GLint linearUnit = UnitOf("LinearTex");
    ASSERT_NE(nearestUnit, linearUnit);
    cgGLSetupSampler(nearest, texture);
    GLuint sampler = static_cast<GLuint>(BindingOnUnit(nearestUnit, GL_SAMPLER_BINDING));
    EXPECT_EQ(BindingOnUnit(nearestUnit, GL_TEXTURE_BINDING_2D), static_cast<GLint>(texture));
    EXPECT_EQ(SamplerParameter(sampler, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(SamplerParameter(sampler, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(SamplerParameter(sampler, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(SamplerParameter(sampler, GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(Integer(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
    cgResetPassState(pass);
    EXPECT_EQ(BindingOnUnit(nearestUnit, GL_SAMPLER_BINDING), 0) << "no sampler state outlives the pass";
    cgGLDisableTextureParameter(nearest);
    EXPECT_EQ(BindingOnUnit(nearestUnit, GL_TEXTURE_BINDING_2D), 0);

    // Just right of the middle of the window the texture coordinate lies between the two texels.
    cgGLSetupSampler(nearest, texture);
    DrawThrough(effect, "Sample");
    Rgba nearestPixel = PixelAt(320, 240);
    cgGLDisableTextureParameter(nearest);
    cgGLSetTextureParameter(linear, texture);
    cgGLEnableTextureParameter(linear);
    DrawThrough(effect, "Sample");
    Rgba linearPixel = PixelAt(320, 240);
    cgGLDisableTextureParameter(linear);

    EXPECT_EQ(nearestPixel, (Rgba{0, 0, 255, 255}));
    EXPECT_NEAR(linearPixel[0], 127, 2);
    EXPECT_NEAR(linearPixel[2], 128, 2);
    EXPECT_EQ(BindingOnUnit(linearUnit, GL_TEXTURE_BINDING_2D), 0);
    EXPECT_EQ(BindingOnUnit(linearUnit, GL_SAMPLER_BINDING), 0);
    EXPECT_EQ(Integer(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
    glDeleteTextures(1, &texture);
    EXPECT_NO_GL_ERROR();
}

TEST_F(Effect, DestroyingTheContextReleasesItsGlObjects)
{
    CGeffect effect = Load(TwoTechniques);
    ASSERT_NE(effect, nullptr) << cgGetLastListing(context);
    CGpass pass = cgGetFirstPass(cgGetNamedTechnique(effect, "Sample"));
    cgSetPassState(pass);
    GLuint pipeline = static_cast<GLuint>(Integer(GL_PROGRAM_PIPELINE_BINDING));
    GLuint vertex = static_cast<GLuint>(PipelineStage(GL_VERTEX_SHADER));
    GLuint fragment = static_cast<GLuint>(PipelineStage(GL_FRAGMENT_SHADER));
    cgGLSetupSampler(cgGetNamedEffectParameter(effect, "NearestTex"), 0);
    GLuint sampler = static_cast<GLuint>(BindingOnUnit(UnitOf("NearestTex"), GL_SAMPLER_BINDING));
    ASSERT_TRUE(glIsProgramPipeline(pipeline) && glIsProgram(vertex) && glIsProgram(fragment) && glIsSampler(sampler));

    // Destroyed while the pass is still set: the pipeline must not stay bound.
    cgDestroyContext(context);
    context = nullptr;
    EXPECT_EQ(Integer(GL_PROGRAM_PIPELINE_BINDING), 0);
    EXPECT_FALSE(glIsProgramPipeline(pipeline));
    EXPECT_FALSE(glIsProgram(vertex));
    EXPECT_FALSE(glIsProgram(fragment));
    EXPECT_FALSE(glIsSampler(sampler));
    EXPECT_NO_GL_ERROR();
}

// The effect's file broken while the scene runs: the effect in use goes on drawing through the
// technique and parameter handles held from before, a listing says why, and no box is shown; so
// it does when the new version builds but lacks a technique the scene uses. A version that only
// leaves out a parameter the scene sets is taken, as at start-up, with a note naming it.
// Mended, the same handles draw with the new programs, the value set before and the sampler state.
TEST_F(Effect, AReloadKeepsTheEffectInUseOnAnErrorAndBringsInTheMendedOne)
{
    CGeffect effect = Load(TwoTechniques);
    ASSERT_NE(effect, nullptr) << cgGetLastListing(context);
    CGtechnique fill = cgGetNamedTechnique(effect, "Fill");
    CGparameter tint = cgGetNamedEffectParameter(effect, "Tint");
    cgSetParameter4f(tint, 0.0f, 1.0f, 0.0f, 1.0f);
    SetRenderStates(false, true, false, false);
    CShaderReloader reloader;
    const auto drawn = [&]
    {
        glClear(GL_COLOR_BUFFER_BIT);
        DrawThrough(effect, fill);
        return PixelAt(320, 240);
    };
    const auto reload = [&](const std::string& fragment)
    {
        std::string text = TwoTechniques;
        const std::string solid = "gl_FragColor = Tint;";
        files.Write("effect.cgfx", text.replace(text.find(solid), solid.size(), fragment));
        reloader.Check(context);
        return reloader.Files().at(0);
    };

    const CShaderReloader::FileStatus broken = reload("gl_FragColor = Tint");
    EXPECT_FALSE(broken.built);
    EXPECT_NE(broken.listing.find(files.PathOf("effect.cgfx") + "(2"), std::string::npos) << broken.listing;
    EXPECT_EQ(drawn(), (Rgba{0, 255, 0, 255})) << "the effect in use";
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(cgGetError(), CG_NO_ERROR);

    // Built, but without the technique the scene draws with: judged as a failed build.
    std::string renamed = TwoTechniques;
    files.Write("effect.cgfx", renamed.replace(renamed.find("technique Fill"), 14, "technique Flood"));
    reloader.Check(context);
    const CShaderReloader::FileStatus lacking = reloader.Files().at(0);
    EXPECT_FALSE(lacking.built);
    EXPECT_EQ(lacking.listing, files.PathOf("effect.cgfx") + ": the effect has no technique 'Fill', which the scene uses\n");
    EXPECT_EQ(drawn(), (Rgba{0, 255, 0, 255})) << "the effect in use";

    std::string untinted = TwoTechniques;
    untinted.replace(untinted.find(" + Tint;"), 8, ";");
    files.Write("effect.cgfx", untinted.replace(untinted.find("gl_FragColor = Tint;"), 20,
                                                "gl_FragColor = vec4(0.0, 0.0, 1.0, 1.0);"));
    reloader.Check(context);
    const CShaderReloader::FileStatus plain = reloader.Files().at(0);
    EXPECT_TRUE(plain.built) << plain.listing;
    EXPECT_EQ(plain.listing,
              files.PathOf("effect.cgfx") + ": note: this version leaves out the parameter 'Tint', which the scene sets\n");
    EXPECT_EQ(drawn(), (Rgba{0, 0, 255, 255})) << "the version without the parameter";

    const CShaderReloader::FileStatus mended = reload("gl_FragColor = vec4(Tint.r, 0.2 * Tint.g, 1.0, 1.0);");
    EXPECT_TRUE(mended.built) << mended.listing;
    EXPECT_EQ(drawn(), (Rgba{0, 51, 255, 255})) << "the mended program with the value set before";
    cgSetParameter4f(tint, 1.0f, 1.0f, 0.0f, 1.0f);
    EXPECT_EQ(drawn(), (Rgba{255, 51, 255, 255})) << "the handle held from before sets the mended program";

    CGpass sample = cgGetFirstPass(cgGetNamedTechnique(effect, "Sample"));
    GLuint texture = MakeRedBlueTexture();
    cgSetPassState(sample);
    cgGLSetupSampler(cgGetNamedEffectParameter(effect, "NearestTex"), texture);
    const GLuint sampler = static_cast<GLuint>(BindingOnUnit(UnitOf("NearestTex"), GL_SAMPLER_BINDING));
    EXPECT_EQ(SamplerParameter(sampler, GL_TEXTURE_MAG_FILTER), GL_NEAREST) << "the sampler state, sampler " << sampler;
    cgResetPassState(sample);
    glDeleteTextures(1, &texture);
    EXPECT_NO_GL_ERROR();
}
