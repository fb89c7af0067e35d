// SPDX-License-Identifier: MIT
// What an effect file describes, as the effect parser reads it: GLSL programs, sampler states and
// techniques of passes. Plain data without GL, so that parsing is tested without a context.
#pragma once

#include <string>
#include <utility>
#include <vector>

enum class ProgramStage
{
    Vertex,
    Fragment,
};

enum class TextureFilter
{
    Nearest,
    Linear,
};

enum class TextureWrap
{
    Clamp,
    ClampToEdge,
    Repeat,
};

enum class RenderState
{
    DepthTest,
    DepthMask,
    Blend,
    CullFace,
};

struct GlslBlock
{
    std::string code;
    int line = 0;  // the file line on which the code begins
};

struct ProgramSource
{
    std::string name;
    ProgramStage stage = ProgramStage::Vertex;
    GlslBlock glsl;
};

// A sampler block's state; what it leaves out keeps these defaults (no mipmaps are assumed).
struct SamplerSource
{
    std::string name;
    TextureFilter minFilter = TextureFilter::Linear;
    TextureFilter magFilter = TextureFilter::Linear;
    TextureWrap wrapS = TextureWrap::Repeat;
    TextureWrap wrapT = TextureWrap::Repeat;
    int line = 0;
};

struct ProgramReference
{
    std::string name;
    int line = 0;
};

struct PassSource
{
    std::string name;
    ProgramReference vertexProgram;
    ProgramReference fragmentProgram;
    std::vector<std::pair<RenderState, bool>> states;  // in the order the pass sets them
    int line = 0;
};

struct TechniqueSource
{
    std::string name;
    std::vector<PassSource> passes;
    int line = 0;
};

struct EffectSource
{
    GlslBlock shared;  // empty code when the file has no shared block
    std::vector<ProgramSource> programs;
    std::vector<SamplerSource> samplers;
    std::vector<TechniqueSource> techniques;
};

struct EffectError
{
    int line;
    std::string message;
};
