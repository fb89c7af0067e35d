// SPDX-License-Identifier: MIT
// The GLSL dialect: which prologue each kind of context gets, and that every prologue compiles the
// programs' texture gathers to the texels the OpenGL definition names, on a real context (GLSL
// 3.30 compiles there too, so the 3.3 prologues are checked on the same driver).
#include "GlContext.h"

#include "shader/GlslDialect.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace
{
std::function<bool(const std::string&)> Offers(std::set<std::string> extensions)
{
    return [extensions](const std::string& name) { return extensions.count(name) != 0; };
}

const std::set<std::string> Gl33Extensions = {"GL_ARB_separate_shader_objects", "GL_ARB_gpu_shader5"};

struct DialectCase
{
    const char* glVersion;
    const char* glslVersion;
    std::set<std::string> extensions;
    const char* versionLine;  // empty when the context is too old
    bool gatherSubstitute;
};

const DialectCase DialectCases[] = {
    {"4.5 (Compatibility Profile) Mesa 22.3.6", "4.50", {}, "#version 410 compatibility\n", false},
    {"4.1 NVIDIA 340.108", "4.10 NVIDIA via Cg compiler", {}, "#version 410 compatibility\n", false},
    {"3.3 (Compatibility Profile) Mesa 22.3.6", "3.30", Gl33Extensions, "#version 330 compatibility\n", false},
    {"4.0", "4.00", {"GL_ARB_separate_shader_objects"}, "#version 330 compatibility\n", true},
    {"3.3 Mesa", "3.30", {"GL_ARB_gpu_shader5"}, "", false},
    {"3.1 Mesa", "1.40", Gl33Extensions, "", false},
    {"2.1 Mesa 22.3.6", "1.20", Gl33Extensions, "", false},
    {"", "", {}, "", false},
};
}

TEST(GlslDialect, EachContextGetsTheVersionLineItCanCompileOrASayWhatItLacks)
{
    for (const DialectCase& test : DialectCases)
    {
        SCOPED_TRACE(std::string(test.glVersion) + " / " + test.glslVersion);
        const GlslDialect dialect = ChooseGlslDialect(test.glVersion, test.glslVersion, Offers(test.extensions));
        const std::string versionLine = test.versionLine;
        EXPECT_EQ(dialect.prologue.substr(0, versionLine.size()), versionLine);
        EXPECT_EQ(dialect.Supported(), !versionLine.empty());
        EXPECT_EQ(dialect.prologue.find("#define textureGather") != std::string::npos, test.gatherSubstitute);
        if (dialect.Supported())
            EXPECT_EQ(dialect.shortfall, "");
        else
            EXPECT_NE(dialect.shortfall.find(std::string("This driver offers OpenGL ") + test.glVersion + ", GLSL " +
                                             test.glslVersion + "."),
                      std::string::npos)
                << dialect.shortfall;
    }
}

namespace
{
constexpr int Size = 4;

// Red and alpha differ in every texel, so a gather of the wrong component or texel shows.
unsigned char Red(int x, int y)
{
    return static_cast<unsigned char>(16 * (y * Size + x) + 5);
}

unsigned char Alpha(int x, int y)
{
    return static_cast<unsigned char>(250 - 15 * (y * Size + x));
}

// The texels of the bilinear footprint of a sample a quarter of a texel into texel (x, y): it
// reaches back to texel x - 1, y - 1. In the order that OpenGL defines for textureGather,
// (i0, j1), (i1, j1), (i1, j0), (i0, j0), wrapped.
unsigned char Expected(unsigned char (*value)(int, int), int x, int y, int corner)
{
    const int dx[] = {0, 1, 1, 0};
    const int dy[] = {1, 1, 0, 0};
    return value((x + Size - 1 + dx[corner]) % Size, (y + Size - 1 + dy[corner]) % Size);
}

struct GatherCase
{
    const char* name;
    const char* glslVersion;
    std::set<std::string> extensions;
};

void PrintTo(const GatherCase& test, std::ostream* out)
{
    *out << test.name;
}

const GatherCase GatherCases[] = {
    {"Glsl410", "4.50", {}},
    {"Glsl330", "3.30", Gl33Extensions},
    {"Glsl330Substitute", "3.30", {"GL_ARB_separate_shader_objects"}},
};

class Gather : public GlTest, public ::testing::WithParamInterface<GatherCase>
{
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        std::vector<unsigned char> texels;
        for (int y = 0; y < Size; ++y)
            for (int x = 0; x < Size; ++x)
                texels.insert(texels.end(), {Red(x, y), 0, 0, Alpha(x, y)});
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, Size, Size, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        // The window has no alpha channel: the gathers are drawn into one that has.
        glGenTextures(1, &target);
        glBindTexture(GL_TEXTURE_2D, target);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, Size, Size, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target, 0);
        glBindTexture(GL_TEXTURE_2D, texture);
    }

    void TearDown() override
    {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteProgram(program);
        glDeleteTextures(1, &texture);
        glDeleteTextures(1, &target);
        GlTest::TearDown();
    }

    // Draws every pixel of a Size x Size square with `gather` (a GLSL expression of `image` and
    // `coord`) and reads the square back.
    std::vector<unsigned char> DrawGather(const std::string& prologue, const std::string& gather)
    {
        const std::string source = prologue + "uniform sampler2D image;\n"
                                              "layout(location = 0) out vec4 colour;\n"
                                              "void main() {\n"
                                              "    vec2 coord = (gl_FragCoord.xy - 0.25) / " +
                                   std::to_string(Size) + ".0;\n    colour = " + gather + ";\n}\n";
        const char* text = source.c_str();
        const GLuint shader = glCreateShader(GL_FRAGMENT_SHADER);
        glShaderSource(shader, 1, &text, nullptr);
        glCompileShader(shader);
        program = glCreateProgram();
        glAttachShader(program, shader);
        glLinkProgram(program);
        glDeleteShader(shader);
        GLint linked = GL_FALSE;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        EXPECT_EQ(linked, GL_TRUE) << source;
        glUseProgram(program);
        glViewport(0, 0, Size, Size);
        glRecti(-1, -1, 1, 1);
        glUseProgram(0);
        return ReadPixels(0, 0, Size, Size);
    }

    GLuint texture = 0;
    GLuint target = 0;
    GLuint framebuffer = 0;
    GLuint program = 0;
};
}

TEST_P(Gather, GathersTheFourTexelsOfTheFootprintInOrder)
{
    const GatherCase& test = GetParam();
    const std::string prologue = ChooseGlslDialect("", test.glslVersion, Offers(test.extensions)).prologue;
    const std::vector<unsigned char> alphas = DrawGather(prologue, "textureGather(image, coord, 3)");
    const std::vector<unsigned char> reds = DrawGather(prologue, "textureGather(image, coord)");
    EXPECT_NO_GL_ERROR();
    for (int y = 0; y < Size; ++y)
        for (int x = 0; x < Size; ++x)
            for (int corner = 0; corner < 4; ++corner)
            {
                const size_t at = static_cast<size_t>(y * Size + x) * 4 + corner;
                EXPECT_EQ(alphas[at], Expected(Alpha, x, y, corner)) << "alpha, texel " << x << ", " << y;
                EXPECT_EQ(reds[at], Expected(Red, x, y, corner)) << "red, texel " << x << ", " << y;
            }
}

INSTANTIATE_TEST_SUITE_P(Dialects, Gather, ::testing::ValuesIn(GatherCases),
                         [](const ::testing::TestParamInfo<GatherCase>& info) { return info.param.name; });
