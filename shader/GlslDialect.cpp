// SPDX-License-Identifier: MIT
// Picks the prologue for the current context from its GLSL version and extensions.
#include "shader/GlslDialect.h"

#include <epoxy/gl.h>

#include <cctype>
#include <cstdlib>

namespace
{
constexpr int NativeVersion = 410;
constexpr int OldestVersion = 330;

// Between stages the programs match their values by layout(location), which GLSL 3.30 knows only
// for the vertex stage's inputs and the fragment stage's outputs.
constexpr const char* SeparateShaderObjects = "GL_ARB_separate_shader_objects";
// textureGather with a component argument came with GLSL 4.00.
constexpr const char* GatherWithComponent = "GL_ARB_gpu_shader5";

// Where no driver extension gathers a component, four nearest samples at the texel centres of
// the bilinear footprint give the same texels, in textureGather's order, through the sampler's
// own wrap mode. The macro renames every call, so the substitute never meets a built-in.
constexpr const char* GatherSubstitute = R"(vec4 merrowindGather(sampler2D image, vec2 coord, int component)
{
    vec2 size = vec2(textureSize(image, 0));
    vec2 first = floor(coord * size - 0.5) + 0.5;
    return vec4(textureLod(image, (first + vec2(0.0, 1.0)) / size, 0.0)[component],
                textureLod(image, (first + vec2(1.0, 1.0)) / size, 0.0)[component],
                textureLod(image, (first + vec2(1.0, 0.0)) / size, 0.0)[component],
                textureLod(image, first / size, 0.0)[component]);
}
vec4 merrowindGather(sampler2D image, vec2 coord)
{
    return merrowindGather(image, coord, 0);
}
#define textureGather merrowindGather
)";

std::string Extension(const char* name)
{
    return std::string("#extension ") + name + " : require\n";
}

std::string Shortfall(const std::string& glVersion, const std::string& glslVersion)
{
    return "Merrowind needs OpenGL 4.1, or OpenGL 3.3 with GLSL 3.30 and " + std::string(SeparateShaderObjects) +
           ".\nThis driver offers OpenGL " + glVersion + ", GLSL " + glslVersion + ".";
}

// "4.10", "3.30 NVIDIA via Cg compiler", "1.20" as 410, 330, 120; 0 when it is no version.
int ParseGlslVersion(const std::string& text)
{
    const char* start = text.c_str();
    char* rest = nullptr;
    const long major = std::strtol(start, &rest, 10);
    if (rest == start || *rest != '.' || !std::isdigit(static_cast<unsigned char>(rest[1])))
        return 0;
    const long minor = std::strtol(rest + 1, nullptr, 10);
    return static_cast<int>(major * 100 + (minor < 10 ? minor * 10 : minor));
}

std::string Text(GLenum name)
{
    const char* text = reinterpret_cast<const char*>(glGetString(name));
    return text != nullptr ? text : "";
}
}

GlslDialect ChooseGlslDialect(const std::string& glVersion, const std::string& glslVersion,
                              const std::function<bool(const std::string&)>& hasExtension)
{
    const int version = ParseGlslVersion(glslVersion);
    if (version >= NativeVersion)
        return {"#version 410 compatibility\n", ""};
    if (version < OldestVersion || !hasExtension(SeparateShaderObjects))
        return {"", Shortfall(glVersion, glslVersion)};
    std::string prologue = "#version 330 compatibility\n" + Extension(SeparateShaderObjects);
    prologue += hasExtension(GatherWithComponent) ? Extension(GatherWithComponent) : GatherSubstitute;
    return {prologue, ""};
}

GlslDialect CurrentGlslDialect()
{
    return ChooseGlslDialect(Text(GL_VERSION), Text(GL_SHADING_LANGUAGE_VERSION),
                             [](const std::string& name) { return epoxy_has_gl_extension(name.c_str()); });
}
