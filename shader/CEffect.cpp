// SPDX-License-Identifier: MIT
// Builds an effect from its parsed source and answers the runtime's lookups.
#include "shader/CEffect.h"

#include "shader/CShaderContext.h"
#include "shader/CompilerListing.h"
#include "shader/FileMessage.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace
{
GLint FilterMode(TextureFilter filter)
{
    return filter == TextureFilter::Nearest ? GL_NEAREST : GL_LINEAR;
}

GLint WrapMode(TextureWrap wrap)
{
    switch (wrap)
    {
    case TextureWrap::Clamp: return GL_CLAMP;
    case TextureWrap::ClampToEdge: return GL_CLAMP_TO_EDGE;
    default: return GL_REPEAT;
    }
}

GLuint CreateSamplerObject(const SamplerSource& state)
{
    GLuint sampler = 0;
    glGenSamplers(1, &sampler);
    glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, FilterMode(state.minFilter));
    glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, FilterMode(state.magFilter));
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, WrapMode(state.wrapS));
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, WrapMode(state.wrapT));
    return sampler;
}

// The context's prologue, the shared block and the program, each block behind a #line directive
// that gives it the line numbers of the file.
std::string ProgramText(const std::string& prologue, const GlslBlock& shared, const GlslBlock& program)
{
    std::string text = prologue;
    if (shared.line != 0)
        text += CGlslProgram::LineDirective(shared.line) + shared.code + "\n";
    return text + CGlslProgram::LineDirective(program.line) + program.code;
}

// Every program repeats the shared block, and with it the block's errors; each is listed once.
void AppendNewLines(const std::string& lines, std::string& listing)
{
    std::istringstream input(lines);
    std::string line;
    while (std::getline(input, line))
    {
        if (("\n" + listing).find("\n" + line + "\n") == std::string::npos)
            listing += line + "\n";
    }
}
}

CEffect::~CEffect()
{
    glDeleteSamplers(static_cast<GLsizei>(samplerObjects.size()), samplerObjects.data());
}

bool CEffect::Build(const EffectSource& source, std::string& listing)
{
    if (!CompilePrograms(source, listing))
        return false;
    TieParameters();
    if (!CreateSamplerObjects(source, listing))
        return false;
    BuildTechniques(source);
    return true;
}

bool CEffect::Rebuild(const EffectSource& source, std::string& listing)
{
    CEffect rebuilt(context, file);
    if (!rebuilt.Build(source, listing))
        return false;
    const std::string lacking = Lacking(rebuilt);
    if (!lacking.empty())
    {
        listing += lacking;
        return false;
    }
    listing += LeftOut(rebuilt);
    // The programs and sampler objects in use now go with `rebuilt` when it is destroyed.
    programs.swap(rebuilt.programs);
    programNames.swap(rebuilt.programNames);
    samplerObjects.swap(rebuilt.samplerObjects);
    parameters.ClearUniforms();
    TieParameters();
    for (const auto& parameter : rebuilt.parameters.Parameters())
    {
        if (parameter->SamplerObject() != 0)
            parameters.Find(parameter->Name())->SetSamplerObject(parameter->SamplerObject());
    }
    parameters.RestoreValues();
    BuildTechniques(source);
    return true;
}

void CEffect::TieParameters()
{
    for (const auto& program : programs)
        parameters.Add(*program);
    parameters.AssignTextureUnits(0);
}

bool CEffect::CompilePrograms(const EffectSource& source, std::string& listing)
{
    bool compiled = true;
    for (const ProgramSource& program : source.programs)
    {
        GLenum stage = program.stage == ProgramStage::Vertex ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER;
        programs.push_back(std::make_unique<CGlslProgram>(stage, ProgramText(context.Dialect().prologue, source.shared, program.glsl)));
        programNames.push_back(program.name);
        AppendNewLines(ListCompilerLog(file, programs.back()->InfoLog()), listing);
        compiled = compiled && programs.back()->IsLinked();
    }
    return compiled;
}

// A sampler block that names no sampler of a program would drop its state without a word, as a
// misspelt name would; it is listed as an error of the file.
bool CEffect::CreateSamplerObjects(const EffectSource& source, std::string& listing)
{
    bool named = true;
    for (const SamplerSource& sampler : source.samplers)
    {
        CShaderParameter* parameter = parameters.Find(sampler.name);
        if (parameter == nullptr || !parameter->IsSampler())
        {
            listing += FileMessage(file, sampler.line, "no program uses a sampler named '" + sampler.name + "'" +
                                                           SameNameInOtherCase(sampler.name)) +
                       "\n";
            named = false;
            continue;
        }
        samplerObjects.push_back(CreateSamplerObject(sampler));
        parameter->SetSamplerObject(samplerObjects.back());
    }
    return named;
}

// Names are told apart by case, as GLSL tells them; a sampler block that differs from a sampler
// only in case is named with it, since the two read alike.
std::string CEffect::SameNameInOtherCase(const std::string& name) const
{
    const auto sameIgnoringCase = [&name](const std::string& other)
    {
        return other.size() == name.size() &&
               std::equal(other.begin(), other.end(), name.begin(), [](unsigned char a, unsigned char b)
                          { return std::tolower(a) == std::tolower(b); });
    };
    for (const auto& parameter : parameters.Parameters())
    {
        if (parameter->IsSampler() && sameIgnoringCase(parameter->Name()))
            return " (names differ in case: a program uses '" + parameter->Name() + "')";
    }
    return "";
}

// Techniques are found by name, so that a rebuild keeps them; new names are added at the end.
void CEffect::BuildTechniques(const EffectSource& source)
{
    for (const auto& technique : techniques)
        technique->ClearPasses();
    for (const TechniqueSource& techniqueSource : source.techniques)
    {
        CTechnique* technique = FindTechnique(techniqueSource.name);
        if (technique == nullptr)
        {
            techniques.push_back(std::make_unique<CTechnique>(*this, techniqueSource.name, techniques.size()));
            technique = techniques.back().get();
        }
        for (const PassSource& pass : techniqueSource.passes)
        {
            technique->AddPass(std::make_unique<CPass>(*this, pass, ProgramNamed(pass.vertexProgram.name),
                                                       ProgramNamed(pass.fragmentProgram.name)));
        }
    }
}

// The parser has checked that every name a pass uses is a program of the effect.
const CGlslProgram& CEffect::ProgramNamed(const std::string& name) const
{
    size_t index = 0;
    while (programNames[index] != name)
        ++index;
    return *programs[index];
}

std::string CEffect::Lacking(const CEffect& rebuilt) const
{
    return usedTechniques.Lacking(file, "effect", "technique",
                                  [&rebuilt](const std::string& name) { return rebuilt.FindTechnique(name) != nullptr; });
}

std::string CEffect::LeftOut(const CEffect& rebuilt) const
{
    return usedParameters.LeftOut(file, [&rebuilt](const std::string& name) { return rebuilt.parameters.Find(name) != nullptr; });
}

CTechnique* CEffect::FirstTechnique() const
{
    return techniques.empty() ? nullptr : techniques.front().get();
}

CTechnique* CEffect::NextTechnique(const CTechnique& technique) const
{
    size_t next = technique.Index() + 1;
    return next < techniques.size() ? techniques[next].get() : nullptr;
}

CTechnique* CEffect::FindTechnique(const std::string& name) const
{
    for (const auto& technique : techniques)
    {
        if (technique->Name() == name)
            return technique.get();
    }
    return nullptr;
}

void CEffect::UnbindSamplerObjects() const
{
    for (const auto& parameter : parameters.Parameters())
    {
        if (parameter->SamplerObject() != 0)
            glBindSampler(static_cast<GLuint>(parameter->TextureUnit()), 0);
    }
}
