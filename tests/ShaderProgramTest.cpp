// SPDX-License-Identifier: MIT
#include "GlContext.h"
#include "ScratchFolder.h"

#include "shader/CShaderReloader.h"
#include "shader/CgGL.h"
#include "shader/Handles.h"

#include <GL/glu.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <utility>
#include <vector>

namespace
{
// Passes the position through the state matrix, clips against Plane0 in object coordinates and
// hands texture coordinate 0 on.
const char* const ClippingVertexProgram = R"(uniform mat4 ModelViewProj;
uniform vec4 Plane0;
out vec2 uv;
void main()
{
    gl_Position = ModelViewProj * gl_Vertex;
    gl_ClipDistance[0] = dot(Plane0, gl_Vertex);
    uv = gl_MultiTexCoord0.xy;
}
)";

const char* const TexturingFragmentProgram = R"(uniform sampler2D baseTex;
uniform sampler2D maskTex;
in vec2 uv;
void main()
{
    gl_FragColor = texture(baseTex, uv) * texture(maskTex, uv);
}
)";

const char* const ValuesFragmentProgram = R"(uniform float Scale;
uniform vec2 Offset;
uniform vec3 Tint;
uniform vec4 Colour;
uniform vec4 colour;
void main()
{
    gl_FragColor = Colour + colour + vec4(Tint, Offset.x + Offset.y) * Scale;
}
)";

using Rgba = std::array<unsigned char, 4>;

GLuint MakeTexture(Rgba colour)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, colour.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

GLint TextureBoundOnUnit(GLint unit)
{
    GLint active = 0;
    GLint texture = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    glActiveTexture(static_cast<GLenum>(active));
    return texture;
}

GLint ActiveTextureUnit()
{
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    return active - GL_TEXTURE0;
}

void LoadIdentityMatrices()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
}

class ShaderProgram : public GlTest
{
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        context = cgCreateContext();
        cgGLRegisterStates(context);
        LoadIdentityMatrices();
    }

    void TearDown() override
    {
        cgDestroyContext(context);
        GlTest::TearDown();
    }

    CGprogram Load(const std::string& name, const std::string& text, CGprofile profile)
    {
        std::string path = files.Write(name, text);
        CGprogram program = cgCreateProgramFromFile(context, CG_SOURCE, path.c_str(), profile, "main", nullptr);
        cgGLLoadProgram(program);
        return program;
    }

    static GLuint NameOf(CGprogram program) { return FromHandle(program)->Name(); }

    static Rgba PixelAt(int x, int y)
    {
        std::vector<unsigned char> pixel = ReadPixels(x, y, 1, 1);
        return {pixel[0], pixel[1], pixel[2], pixel[3]};
    }

    static GLint LocationOf(CGprogram program, const char* name)
    {
        return glGetUniformLocation(NameOf(program), name);
    }

    static void Bind(CGprogram vertex, CGprogram fragment)
    {
        cgGLBindProgram(vertex);
        cgGLEnableProfile(CG_PROFILE_VP40);
        cgGLBindProgram(fragment);
        cgGLEnableProfile(CG_PROFILE_ARBFP1);
    }

    static void Unbind()
    {
        cgGLDisableProfile(CG_PROFILE_VP40);
        cgGLDisableProfile(CG_PROFILE_ARBFP1);
    }

    ScratchFolder files;
    CGcontext context = nullptr;
};

TEST_F(ShaderProgram, CompilesEachProgramForTheStageOfItsProfile)
{
    EXPECT_NE(Load("vp40.cg", ClippingVertexProgram, CG_PROFILE_VP40), nullptr);
    EXPECT_NE(Load("arbvp1.cg", ClippingVertexProgram, CG_PROFILE_ARBVP1), nullptr);
    EXPECT_NE(Load("arbfp1.cg", TexturingFragmentProgram, CG_PROFILE_ARBFP1), nullptr);
    EXPECT_EQ(cgGetError(), CG_NO_ERROR);

    // Vertex inputs do not exist in the fragment stage, so this only compiles as a vertex program.
    EXPECT_EQ(Load("wrong-stage.cg", ClippingVertexProgram, CG_PROFILE_ARBFP1), nullptr);
    EXPECT_EQ(cgGetError(), CG_COMPILER_ERROR);
    EXPECT_NO_GL_ERROR();
}

TEST_F(ShaderProgram, BrokenSourceGivesNullTheCompilerErrorAndAListingWithTheFileLine)
{
    std::string path = files.PathOf("broken.cg");
    EXPECT_EQ(Load("broken.cg", "void main()\n{\n    gl_FragColor = undeclaredColour;\n}\n", CG_PROFILE_ARBFP1),
              nullptr);

    CGerror error = cgGetError();
    EXPECT_EQ(error, CG_COMPILER_ERROR);
    EXPECT_STREQ(cgGetErrorString(error), "The compile returned an error.");
    EXPECT_EQ(cgGetError(), CG_NO_ERROR) << "reading the error clears it";
    std::string listing = cgGetLastListing(context);
    EXPECT_NE(listing.find(path + "(3): "), std::string::npos) << listing;
    EXPECT_NE(listing.find("undeclaredColour"), std::string::npos) << listing;
    EXPECT_NO_GL_ERROR();
}

// A named pipe no one writes to would block the read forever; a folder holds no text.
TEST_F(ShaderProgram, MissingFilesPipesAndFoldersGiveNullAndTheFileReadError)
{
    const std::string pipe = files.PathOf("pipe.cg");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& path : {files.PathOf("absent.cg"), pipe, files.PathOf("")})
    {
        CGprogram program = cgCreateProgramFromFile(context, CG_SOURCE, path.c_str(), CG_PROFILE_VP40, "main", nullptr);

        EXPECT_EQ(program, nullptr) << path;
        CGerror error = cgGetError();
        EXPECT_EQ(error, CG_FILE_READ_ERROR) << path;
        EXPECT_STREQ(cgGetErrorString(error), "The file could not be read.");
        EXPECT_NE(std::string(cgGetLastListing(context)).find(path), std::string::npos);
    }
}

TEST_F(ShaderProgram, NullHandlesAndMissingNamesDoNothing)
{
    CGprogram fragment = Load("values.cg", ValuesFragmentProgram, CG_PROFILE_ARBFP1);
    ASSERT_NE(fragment, nullptr);
    EXPECT_EQ(cgGetNamedParameter(fragment, "NoSuchParameter"), nullptr);

    cgGLLoadProgram(nullptr);
    cgGLBindProgram(nullptr);
    EXPECT_EQ(cgGetNamedParameter(nullptr, "Scale"), nullptr);
    cgSetParameter2f(nullptr, 1.0f, 2.0f);
    cgGLSetParameter4f(nullptr, 1.0f, 2.0f, 3.0f, 4.0f);
    cgGLSetStateMatrixParameter(nullptr, CG_GL_MODELVIEW_PROJECTION_MATRIX, CG_GL_MATRIX_IDENTITY);
    cgGLSetTextureParameter(nullptr, 1);
    cgGLEnableTextureParameter(nullptr);
    cgGLDisableTextureParameter(nullptr);
    cgGLSetupSampler(nullptr, 1);
    EXPECT_EQ(cgGetError(), CG_NO_ERROR);
    EXPECT_NO_GL_ERROR();
}

TEST_F(ShaderProgram, ParameterValuesReachTheProgramAtOnce)
{
    CGprogram program = Load("values.cg", ValuesFragmentProgram, CG_PROFILE_ARBFP1);
    ASSERT_NE(program, nullptr);

    cgGLSetParameter1f(cgGetNamedParameter(program, "Scale"), 0.05f);
    cgSetParameter2f(cgGetNamedParameter(program, "Offset"), 0.04f, -0.025f);
    cgGLSetParameter3f(cgGetNamedParameter(program, "Tint"), 0.2f, 0.2f, 0.01f);
    cgGLSetParameter4f(cgGetNamedParameter(program, "Colour"), 0.0f, -1.0f, 0.0f, 0.5f);
    // Names that differ only in case are two parameters, as GLSL makes them two uniforms.
    cgGLSetParameter4f(cgGetNamedParameter(program, "colour"), 0.25f, 0.0f, 0.0f, 0.0f);

    float scale = 0.0f;
    std::array<float, 2> offset{};
    std::array<float, 3> tint{};
    std::array<float, 4> colour{}, lowerCaseColour{};
    glGetUniformfv(NameOf(program), LocationOf(program, "Scale"), &scale);
    glGetUniformfv(NameOf(program), LocationOf(program, "Offset"), offset.data());
    glGetUniformfv(NameOf(program), LocationOf(program, "Tint"), tint.data());
    glGetUniformfv(NameOf(program), LocationOf(program, "Colour"), colour.data());
    glGetUniformfv(NameOf(program), LocationOf(program, "colour"), lowerCaseColour.data());
    EXPECT_FLOAT_EQ(scale, 0.05f);
    EXPECT_EQ(offset, (std::array<float, 2>{0.04f, -0.025f}));
    EXPECT_EQ(tint, (std::array<float, 3>{0.2f, 0.2f, 0.01f}));
    EXPECT_EQ(colour, (std::array<float, 4>{0.0f, -1.0f, 0.0f, 0.5f}));
    EXPECT_EQ(lowerCaseColour, (std::array<float, 4>{0.25f, 0.0f, 0.0f, 0.0f}));

    // A setter with more components than the uniform sets the ones it has.
    cgGLSetParameter4f(cgGetNamedParameter(program, "Scale"), 2.0f, 3.0f, 4.0f, 5.0f);
    glGetUniformfv(NameOf(program), LocationOf(program, "Scale"), &scale);
    EXPECT_FLOAT_EQ(scale, 2.0f);
    EXPECT_NO_GL_ERROR();
}

TEST_F(ShaderProgram, StateMatrixIsProjectionTimesModelViewAtTheCall)
{
    CGprogram program = Load("clip.cg", ClippingVertexProgram, CG_PROFILE_VP40);
    ASSERT_NE(program, nullptr);
    glMatrixMode(GL_PROJECTION);
    gluPerspective(45.0, 640.0 / 480.0, 0.1, 10000.0);
    glMatrixMode(GL_MODELVIEW);
    gluLookAt(3.0, 2.0, 5.0, 0.0, 0.5, 0.0, 0.0, 1.0, 0.0);
    glRotatef(30.0f, 0.0f, 1.0f, 0.0f);
    glScalef(5.0f, 1.0f, 5.0f);

    std::array<float, 16> projection{};
    std::array<float, 16> modelView{};
    std::array<float, 16> expected{};
    glGetFloatv(GL_PROJECTION_MATRIX, projection.data());
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView.data());
    glLoadMatrixf(projection.data());
    glMultMatrixf(modelView.data());
    glGetFloatv(GL_MODELVIEW_MATRIX, expected.data());
    glLoadMatrixf(modelView.data());

    cgGLSetStateMatrixParameter(cgGetNamedParameter(program, "ModelViewProj"), CG_GL_MODELVIEW_PROJECTION_MATRIX,
                                CG_GL_MATRIX_IDENTITY);

    std::array<float, 16> uploaded{};
    glGetUniformfv(NameOf(program), LocationOf(program, "ModelViewProj"), uploaded.data());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(uploaded[i], expected[i], 1e-5f * (1.0f + std::abs(expected[i]))) << "element " << i;
    EXPECT_NO_GL_ERROR();
}

TEST_F(ShaderProgram, SamplersGetDistinctUnitsAndEnablingBindsOnlyWhileEnabled)
{
    CGprogram program = Load("texturing.cg", TexturingFragmentProgram, CG_PROFILE_ARBFP1);
    ASSERT_NE(program, nullptr);
    CGparameter base = cgGetNamedParameter(program, "baseTex");
    CGparameter mask = cgGetNamedParameter(program, "maskTex");
    GLint baseUnit = -1;
    GLint maskUnit = -1;
    glGetUniformiv(NameOf(program), LocationOf(program, "baseTex"), &baseUnit);
    glGetUniformiv(NameOf(program), LocationOf(program, "maskTex"), &maskUnit);
    ASSERT_NE(baseUnit, maskUnit);
    GLuint red = MakeTexture({255, 0, 0, 255});
    GLuint white = MakeTexture({255, 255, 255, 255});

    cgGLSetTextureParameter(base, red);
    cgGLSetTextureParameter(mask, white);
    EXPECT_EQ(TextureBoundOnUnit(baseUnit), 0) << "setting only records the texture";
    cgGLEnableTextureParameter(base);
    cgGLEnableTextureParameter(mask);
    EXPECT_EQ(TextureBoundOnUnit(baseUnit), static_cast<GLint>(red));
    EXPECT_EQ(TextureBoundOnUnit(maskUnit), static_cast<GLint>(white));
    EXPECT_EQ(ActiveTextureUnit(), 0);

    cgGLDisableTextureParameter(base);
    cgGLDisableTextureParameter(mask);
    EXPECT_EQ(TextureBoundOnUnit(baseUnit), 0);
    EXPECT_EQ(TextureBoundOnUnit(maskUnit), 0);
    EXPECT_EQ(ActiveTextureUnit(), 0);
    glDeleteTextures(1, &red);
    glDeleteTextures(1, &white);
    EXPECT_NO_GL_ERROR();
}

TEST_F(ShaderProgram, ProgramsDrawAndFixedFunctionDrawingWorksAfterBothProfilesAreDisabled)
{
    CGprogram vertex = Load("clip.cg", ClippingVertexProgram, CG_PROFILE_VP40);
    CGprogram fragment = Load("texturing.cg", TexturingFragmentProgram, CG_PROFILE_ARBFP1);
    ASSERT_NE(vertex, nullptr);
    ASSERT_NE(fragment, nullptr);
    GLuint red = MakeTexture({255, 0, 0, 255});
    GLuint white = MakeTexture({255, 255, 255, 255});
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);

    Bind(vertex, fragment);
    cgGLSetStateMatrixParameter(cgGetNamedParameter(vertex, "ModelViewProj"), CG_GL_MODELVIEW_PROJECTION_MATRIX,
                                CG_GL_MATRIX_IDENTITY);
    cgGLSetupSampler(cgGetNamedParameter(fragment, "baseTex"), red);
    cgGLSetupSampler(cgGetNamedParameter(fragment, "maskTex"), white);
    glRectf(-1.0f, -1.0f, 0.0f, 1.0f);
    cgGLDisableTextureParameter(cgGetNamedParameter(fragment, "baseTex"));
    cgGLDisableTextureParameter(cgGetNamedParameter(fragment, "maskTex"));
    Unbind();

    GLint pipeline = -1;
    GLint program = -1;
    glGetIntegerv(GL_PROGRAM_PIPELINE_BINDING, &pipeline);
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    EXPECT_EQ(pipeline, 0);
    EXPECT_EQ(program, 0);
    glColor3f(0.0f, 0.0f, 1.0f);
    glRectf(0.0f, -1.0f, 1.0f, 1.0f);
    glColor3f(1.0f, 1.0f, 1.0f);

    EXPECT_EQ(PixelAt(160, 240), (Rgba{255, 0, 0, 255})) << "drawn by the programs";
    EXPECT_EQ(PixelAt(480, 240), (Rgba{0, 0, 255, 255})) << "drawn by the fixed function";
    glDeleteTextures(1, &red);
    glDeleteTextures(1, &white);
    EXPECT_NO_GL_ERROR();
}

// The terrain programs keep one side of the water plane: a quad across y = 0, drawn from client
// arrays, must lose the half on the negative side of Plane0.
// A program file broken while the scene runs: the program in use goes on drawing through the
// handles held from before, a listing says why, and no box is shown. One that builds without a
// parameter the scene has looked up is taken, as at start-up, with a note naming it. Mended, the
// same handles draw with the new program and the value set before, even when only the file's
// status changed (as chmod changes it); an unchanged file is left alone.
TEST_F(ShaderProgram, AReloadKeepsTheProgramInUseOnAnErrorAndBringsInTheMendedOne)
{
    const auto tinted = [](const std::string& colour)
    { return "uniform vec4 Tint;\nout vec4 colour;\nvoid main()\n{\n    colour = " + colour + "\n}\n"; };
    CGprogram vertex = Load("clip.cg", ClippingVertexProgram, CG_PROFILE_VP40);
    CGprogram fragment = Load("tint.cg", tinted("Tint;"), CG_PROFILE_ARBFP1);
    ASSERT_NE(vertex, nullptr);
    ASSERT_NE(fragment, nullptr) << cgGetLastListing(context);
    CGparameter tint = cgGetNamedParameter(fragment, "Tint");
    cgSetParameter4f(tint, 0.0f, 1.0f, 0.0f, 1.0f);
    CShaderReloader reloader;
    const auto drawn = [&]
    {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        Bind(vertex, fragment);
        cgGLSetStateMatrixParameter(cgGetNamedParameter(vertex, "ModelViewProj"), CG_GL_MODELVIEW_PROJECTION_MATRIX,
                                    CG_GL_MATRIX_IDENTITY);
        glRectf(-1.0f, -1.0f, 1.0f, 1.0f);
        Unbind();
        return PixelAt(320, 240);
    };
    const auto reload = [&](const std::string& colour)
    {
        files.Write("tint.cg", tinted(colour));
        reloader.Check(context);
        return reloader.Files();
    };

    const std::vector<CShaderReloader::FileStatus> broken = reload("Tint");
    ASSERT_EQ(broken.size(), 2u);
    EXPECT_TRUE(broken[0].built && broken[0].listing.empty()) << "the unchanged vertex program";
    EXPECT_FALSE(broken[1].built);
    EXPECT_NE(broken[1].listing.find(files.PathOf("tint.cg") + "(6)"), std::string::npos) << broken[1].listing;
    EXPECT_EQ(drawn(), (Rgba{0, 255, 0, 255})) << "the program in use";
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(cgGetError(), CG_NO_ERROR);

    const std::vector<CShaderReloader::FileStatus> plain = reload("vec4(0.0, 0.0, 1.0, 1.0);");
    EXPECT_TRUE(plain[1].built) << plain[1].listing;
    EXPECT_EQ(plain[1].listing,
              files.PathOf("tint.cg") + ": note: this version leaves out the parameter 'Tint', which the scene sets\n");
    EXPECT_EQ(drawn(), (Rgba{0, 0, 255, 255})) << "the version without Tint";

    // The same size and modification time as the broken version: only the status change time
    // tells the two apart.
    reload("Tint ");
    struct stat before;
    ASSERT_EQ(stat(files.PathOf("tint.cg").c_str(), &before), 0);
    files.Write("tint.cg", tinted("Tint;"));
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, files.PathOf("tint.cg").c_str(), times, 0), 0);
    reloader.Check(context);
    EXPECT_TRUE(reloader.Files()[1].built) << reloader.Files()[1].listing;

    const std::vector<CShaderReloader::FileStatus> mended = reload("vec4(Tint.r, 0.2 * Tint.g, 1.0, 1.0);");
    EXPECT_TRUE(mended[1].built) << mended[1].listing;
    EXPECT_EQ(drawn(), (Rgba{0, 51, 255, 255})) << "the mended program with the value set before";
    cgSetParameter4f(tint, 1.0f, 1.0f, 0.0f, 1.0f);
    EXPECT_EQ(drawn(), (Rgba{255, 51, 255, 255})) << "the handle held from before sets the mended program";
    EXPECT_NO_GL_ERROR();
}

TEST_F(ShaderProgram, ClipDistanceFromTheVertexProgramClips)
{
    CGprogram vertex = Load("clip.cg", ClippingVertexProgram, CG_PROFILE_VP40);
    CGprogram fragment = Load("texturing.cg", TexturingFragmentProgram, CG_PROFILE_ARBFP1);
    ASSERT_NE(vertex, nullptr);
    ASSERT_NE(fragment, nullptr);
    GLuint green = MakeTexture({0, 255, 0, 255});
    const float corners[] = {-1.0f, -1.0f, 1.0f, -1.0f, 1.0f, 1.0f, -1.0f, 1.0f};
    const float texCoords[] = {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f};
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(2, GL_FLOAT, 0, corners);
    glTexCoordPointer(2, GL_FLOAT, 0, texCoords);
    glEnable(GL_CLIP_PLANE0);

    auto drawClipped = [&](float planeY) {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        Bind(vertex, fragment);
        cgGLSetStateMatrixParameter(cgGetNamedParameter(vertex, "ModelViewProj"), CG_GL_MODELVIEW_PROJECTION_MATRIX,
                                    CG_GL_MATRIX_IDENTITY);
        cgGLSetParameter4f(cgGetNamedParameter(vertex, "Plane0"), 0.0f, planeY, 0.0f, 0.0f);
        cgGLSetupSampler(cgGetNamedParameter(fragment, "baseTex"), green);
        cgGLSetupSampler(cgGetNamedParameter(fragment, "maskTex"), green);
        glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
        cgGLDisableTextureParameter(cgGetNamedParameter(fragment, "baseTex"));
        cgGLDisableTextureParameter(cgGetNamedParameter(fragment, "maskTex"));
        Unbind();
    };
    const Rgba green8{0, 255, 0, 255};
    const Rgba black{0, 0, 0, 255};
    drawClipped(1.0f);
    EXPECT_EQ(PixelAt(320, 360), green8) << "above the plane is kept";
    EXPECT_EQ(PixelAt(320, 120), black) << "below the plane is clipped";
    drawClipped(-1.0f);
    EXPECT_EQ(PixelAt(320, 360), black);
    EXPECT_EQ(PixelAt(320, 120), green8);

    glDisable(GL_CLIP_PLANE0);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDeleteTextures(1, &green);
    EXPECT_NO_GL_ERROR();
}

TEST_F(ShaderProgram, AFailedBindLeavesNoProgramOfItsStageSelected)
{
    CGprogram vertex = Load("vp.cg", ClippingVertexProgram, CG_PROFILE_VP40);
    CGprogram fragment = Load("fp.cg", TexturingFragmentProgram, CG_PROFILE_ARBFP1);
    ASSERT_NE(vertex, nullptr);
    ASSERT_NE(fragment, nullptr);
    Bind(vertex, fragment);
    Unbind();

    Bind(nullptr, fragment);  // as when the vertex program failed to load
    GLint pipeline = 0;
    glGetIntegerv(GL_PROGRAM_PIPELINE_BINDING, &pipeline);
    GLint vertexStage = -1;
    GLint fragmentStage = -1;
    glGetProgramPipelineiv(static_cast<GLuint>(pipeline), GL_VERTEX_SHADER, &vertexStage);
    glGetProgramPipelineiv(static_cast<GLuint>(pipeline), GL_FRAGMENT_SHADER, &fragmentStage);
    EXPECT_EQ(vertexStage, 0) << "the vertex program of the previous bind is still selected";
    EXPECT_EQ(fragmentStage, static_cast<GLint>(NameOf(fragment)));
    Unbind();
    EXPECT_NO_GL_ERROR();
}

namespace
{
// The reference compiler's verdict on one program text: its exit status and what it said.
std::pair<int, std::string> ReferenceCompile(const std::string& path, GLenum stage)
{
    const std::string command =
        std::string("glslangValidator -S ") + (stage == GL_VERTEX_SHADER ? "vert " : "frag ") + path + " 2>&1";
    FILE* output = popen(command.c_str(), "r");
    if (output == nullptr)
        return {-1, "glslangValidator could not be started"};
    std::string said;
    char block[4096];
    for (size_t count; (count = fread(block, 1, sizeof block, output)) > 0;)
        said.append(block, count);
    const int status = pclose(output);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, said};
}
}

// Mesa accepts code that stricter drivers refuse, and no GPU is here to tell: Debian's reference
// GLSL compiler judges every program the scene and the effect compile, as the runtime assembled it.
TEST_F(ShaderProgram, EveryProgramOfTheSceneAndTheEffectPassesTheReferenceCompiler)
{
    std::vector<const CGlslProgram*> programs;
    for (const char* name : {"VP_AboveWater", "FP_AboveWater", "VP_Underwater", "FP_Underwater", "VP_WaterPlane",
                             "FP_WaterPlane", "VP_TargetView", "FP_TargetView"})
    {
        const std::string path = std::string(MERROWIND_SOURCE_DIR "/CG/") + name + ".cg";
        const CGprofile profile = name[0] == 'V' ? CG_PROFILE_VP40 : CG_PROFILE_ARBFP1;
        CGprogram program = cgCreateProgramFromFile(context, CG_SOURCE, path.c_str(), profile, "main", nullptr);
        ASSERT_NE(program, nullptr) << cgGetLastListing(context);
        programs.push_back(&FromHandle(program)->Program());
    }
    CGeffect effect = cgCreateEffectFromFile(context, MERROWIND_SOURCE_DIR "/CG/HDR_FX.cgfx", nullptr);
    ASSERT_NE(effect, nullptr) << cgGetLastListing(context);
    for (const auto& program : FromHandle(effect)->Programs())
        programs.push_back(program.get());
    ASSERT_GT(programs.size(), 8u);

    for (size_t index = 0; index < programs.size(); ++index)
    {
        const std::string path = files.Write("program" + std::to_string(index) + ".glsl", programs[index]->Source());
        const auto [status, said] = ReferenceCompile(path, programs[index]->Stage());
        EXPECT_EQ(status, 0) << said << "in\n" << programs[index]->Source();
    }
    EXPECT_NO_GL_ERROR();
}
