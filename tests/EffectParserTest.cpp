// SPDX-License-Identifier: MIT
#include "shader/CEffectParser.h"
#include "shader/CompilerListing.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{
const char* const GoodEffect = R"(// Two techniques over shared code.
shared %{
uniform mat4 mvp;
%}

technique Copy
{
    pass P0
    {
        VertexProgram = QuadVertex;   // defined further down
        FragmentProgram = CopyFragment;
        DepthTestEnable = false;
        DepthMask = false;
    }
}

sampler SourceTex { MinFilter = Nearest; MagFilter = Linear; WrapS = Clamp; WrapT = ClampToEdge; }
sampler OtherTex { MinFilter = Nearest; }

vertex QuadVertex %{
void main() { gl_Position = mvp * gl_Vertex; }  // a %} in a comment is code
/* so is this %} */
%}
fragment CopyFragment %{ uniform sampler2D SourceTex;
void main() { if (true) { gl_FragColor = texture(SourceTex, uv); } }
%}

technique Blend { pass First { VertexProgram = QuadVertex; FragmentProgram = CopyFragment;
    BlendEnable = true; CullFaceEnable = true; } pass Second { VertexProgram = QuadVertex;
    FragmentProgram = CopyFragment; } }
)";

struct BadEffect
{
    std::string text;
    int line;
    const char* message;
};

const char* const Programs = "vertex V %{ void main() {} %}\nfragment F %{ void main() {} %}\n";

std::string WithPrograms(const std::string& text)
{
    return Programs + text;
}
}

TEST(EffectParser, ReadsEveryItemOfAWellFormedEffect)
{
    CEffectParser parser;
    ASSERT_TRUE(parser.Parse(GoodEffect)) << parser.Errors().front().line << ": " << parser.Errors().front().message;
    const EffectSource& effect = parser.Effect();

    EXPECT_EQ(effect.shared.code, "\nuniform mat4 mvp;\n");
    EXPECT_EQ(effect.shared.line, 2);
    ASSERT_EQ(effect.programs.size(), 2u);
    EXPECT_EQ(effect.programs[0].name, "QuadVertex");
    EXPECT_EQ(effect.programs[0].stage, ProgramStage::Vertex);
    EXPECT_EQ(effect.programs[0].glsl.line, 20);
    EXPECT_EQ(effect.programs[0].glsl.code,
              "\nvoid main() { gl_Position = mvp * gl_Vertex; }  // a %} in a comment is code\n/* so is this %} */\n");
    EXPECT_EQ(effect.programs[1].stage, ProgramStage::Fragment);
    EXPECT_EQ(effect.programs[1].glsl.code,
              " uniform sampler2D SourceTex;\nvoid main() { if (true) { gl_FragColor = texture(SourceTex, uv); } }\n");
    EXPECT_EQ(effect.programs[1].glsl.line, 24);

    ASSERT_EQ(effect.samplers.size(), 2u);
    const SamplerSource& source = effect.samplers[0];
    EXPECT_EQ(source.name, "SourceTex");
    EXPECT_EQ(source.minFilter, TextureFilter::Nearest);
    EXPECT_EQ(source.magFilter, TextureFilter::Linear);
    EXPECT_EQ(source.wrapS, TextureWrap::Clamp);
    EXPECT_EQ(source.wrapT, TextureWrap::ClampToEdge);
    const SamplerSource& other = effect.samplers[1];
    EXPECT_EQ(other.minFilter, TextureFilter::Nearest);
    EXPECT_EQ(other.magFilter, TextureFilter::Linear) << "defaults for what the block leaves out";
    EXPECT_EQ(other.wrapS, TextureWrap::Repeat);

    ASSERT_EQ(effect.techniques.size(), 2u);
    EXPECT_EQ(effect.techniques[0].name, "Copy");
    ASSERT_EQ(effect.techniques[0].passes.size(), 1u);
    const PassSource& copy = effect.techniques[0].passes[0];
    EXPECT_EQ(copy.vertexProgram.name, "QuadVertex");
    EXPECT_EQ(copy.fragmentProgram.name, "CopyFragment");
    using States = std::vector<std::pair<RenderState, bool>>;
    EXPECT_EQ(copy.states, (States{{RenderState::DepthTest, false}, {RenderState::DepthMask, false}}));
    ASSERT_EQ(effect.techniques[1].passes.size(), 2u);
    EXPECT_EQ(effect.techniques[1].passes[0].states,
              (States{{RenderState::Blend, true}, {RenderState::CullFace, true}}));
    EXPECT_EQ(effect.techniques[1].passes[1].name, "Second");
    EXPECT_TRUE(effect.techniques[1].passes[1].states.empty());
}

TEST(EffectParser, ReportsEachErrorOnItsLine)
{
    const BadEffect cases[] = {
        {"// nothing yet\nprogram P %{ %}\n", 2,
         "expected shared, vertex, fragment, sampler or technique, found 'program'"},
        {"vertex V\n%{ void main() {}\n", 2, "the GLSL block has no closing %}"},
        {"fragment F\n%{ /* %}\n", 2, "the GLSL block has no closing %}"},
        {"sampler S { MinFilter = Linear; }\n\nsampler # { }\n", 3, "unexpected character '#'"},
        {std::string("\n\xE5\x01", 3), 2, "unexpected character '\\xE5'"},
        {std::string("\n\n\0 technique", 13), 3, "unexpected character '\\x00'"},
        {"sampler S\n{\n  MinFilter = Linear\n}\n", 4, "expected ';' after the value, found '}'"},
        {"vertex %{ %}\n", 1, "expected a program name, found a GLSL block"},
        {"technique T {\n", 2, "expected 'pass' or '}', found the end of the file"},
        {"sampler S {\n MinFilter = Bilinear; }\n", 2, "'Bilinear' is not a filter (Nearest or Linear)"},
        {"sampler S { WrapS = Mirror; }\n", 1, "'Mirror' is not a wrap mode (Clamp, ClampToEdge or Repeat)"},
        {"sampler S {\n\n MinFilters = Linear; }\n", 3, "'MinFilters' is not a sampler state"},
        {"sampler S { WrapS = Clamp;\n WrapS = Repeat; }\n", 2, "'WrapS' is set twice"},
        {"sampler S { }\nsampler S { }\n", 2, "a second sampler named 'S'"},
        {"shared %{ %}\nshared %{ %}\n", 2, "the effect has a second shared block"},
        {"technique T\n{\n}\n", 1, "technique 'T' has no pass"},
    };
    const BadEffect passCases[] = {
        {"technique T { pass P { VertexProgram = V; FragmentProgram = F;\n AlphaTestEnable = true; } }", 4,
         "'AlphaTestEnable' is not a pass state"},
        {"technique T { pass P { VertexProgram = V; FragmentProgram = F;\n BlendEnable = yes; } }", 4,
         "'yes' is not true or false"},
        {"technique T { pass P {\n VertexProgram = Missing; FragmentProgram = F; } }", 4,
         "there is no program named 'Missing'"},
        {"technique T { pass P {\n VertexProgram = F; FragmentProgram = F; } }", 4,
         "'F' is a fragment program, not a vertex program"},
        {"technique T {\n pass P { VertexProgram = V; } }", 4, "pass 'P' names no fragment program"},
        {"technique T { pass P { VertexProgram = V; FragmentProgram = F; }\n pass P { VertexProgram = V; "
         "FragmentProgram = F; } }",
         4, "a second pass named 'P' in technique 'T'"},
        {"vertex V %{ %}", 3, "a second program named 'V'"},
    };
    auto check = [](const std::string& text, const BadEffect& bad) {
        SCOPED_TRACE(text);
        CEffectParser parser;
        EXPECT_FALSE(parser.Parse(text));
        ASSERT_EQ(parser.Errors().size(), 1u) << parser.Errors().back().message;
        EXPECT_EQ(parser.Errors()[0].line, bad.line);
        EXPECT_EQ(parser.Errors()[0].message.rfind(bad.message, 0), 0u) << parser.Errors()[0].message;
    };
    for (const BadEffect& bad : cases)
        check(bad.text, bad);
    // These name the programs V and F defined on lines 1 and 2.
    for (const BadEffect& bad : passCases)
        check(WithPrograms(bad.text), bad);
}

TEST(EffectParser, ReportsEveryErrorInNamesAndValues)
{
    CEffectParser parser;
    EXPECT_FALSE(parser.Parse("sampler S { MinFilter = Fast;\n MagFilter = Slow; }\n"
                              "technique T { pass P { VertexProgram = A;\n FragmentProgram = B; } }\n"));
    ASSERT_EQ(parser.Errors().size(), 4u);
    EXPECT_EQ(parser.Errors()[0].line, 1);
    EXPECT_EQ(parser.Errors()[1].line, 2);
    EXPECT_EQ(parser.Errors()[2].line, 3);
    EXPECT_EQ(parser.Errors()[3].line, 4);
}

TEST(CompilerListing, ListsDriverMessagesWithTheFileAndLine)
{
    std::string log = "0:12(5): error: `foo' undeclared\n"
                      "0(7) : error C1008: undefined variable \"bar\"\r\n"
                      "ERROR: 0:3: 'baz' : undeclared identifier\n"
                      "\n"
                      "error: linking failed\n";
    EXPECT_EQ(ListCompilerLog("CG/HDR_FX.cgfx", log), "CG/HDR_FX.cgfx(12): error: `foo' undeclared\n"
                                                       "CG/HDR_FX.cgfx(7): error C1008: undefined variable \"bar\"\n"
                                                       "CG/HDR_FX.cgfx(3): error: 'baz' : undeclared identifier\n"
                                                       "CG/HDR_FX.cgfx: error: linking failed\n");
    EXPECT_EQ(ListCompilerLog("x.cg", ""), "");
}

// Logs are outside data: a #line directive picks the numbers, an identifier the length of a line.
TEST(CompilerListing, AnyLogGivesABoundedListing)
{
    EXPECT_EQ(ListCompilerLog("a.cg", "0:4294967295(12): error: `x' undeclared\n"
                                      "0:2147483647(1): error: last line\n"
                                      "0:99999999999999999999999(3): error: past 2^64\n"),
              "a.cg: 0:4294967295(12): error: `x' undeclared\n"
              "a.cg(2147483647): error: last line\n"
              "a.cg: 0:99999999999999999999999(3): error: past 2^64\n");

    const std::string identifier(1 << 20, 'a');
    const std::string listing = ListCompilerLog("a.cg", "0:3(7): error: `" + identifier + "' undeclared\n");
    EXPECT_EQ(listing, "a.cg(3): error: `" + identifier.substr(0, MaxMessageLength - 8) + " [...]\n");

    std::string garbage;
    for (int i = 0; i < 1 << 16; ++i)
        garbage += static_cast<char>((i * 7919) >> 3);
    const std::string listed = ListCompilerLog("a.cg", garbage + "\n" + std::string(5000, '\n') + "0:1: x\n");
    EXPECT_LE(std::count(listed.begin(), listed.end(), '\n'), static_cast<long>(MaxListingLines));
    EXPECT_LE(listed.size(), MaxListingLines * (MaxMessageLength + 20));

    std::string manyLines;
    for (int i = 1; i <= 500; ++i)
        manyLines += "0:" + std::to_string(i) + "(1): error: e\n";
    const std::string first = ListCompilerLog("a.cg", manyLines);
    EXPECT_EQ(std::count(first.begin(), first.end(), '\n'), static_cast<long>(MaxListingLines));
    EXPECT_EQ(first.substr(first.rfind("a.cg(")), "a.cg(" + std::to_string(MaxListingLines) + "): error: e\n");
}
