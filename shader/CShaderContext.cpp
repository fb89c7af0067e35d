// Creates programs from files and keeps everything made in the context until it is destroyed.
#include "shader/CShaderContext.h"

#include "shader/CEffectParser.h"
#include "shader/CompilerListing.h"
#include "shader/ShaderError.h"
#include "shader/TextFile.h"

namespace
{
CShaderContext* current = nullptr;
}

CShaderContext::CShaderContext()
{
    current = this;
}

CShaderContext::~CShaderContext()
{
    if (current == this)
        current = nullptr;
}

CShaderContext* CShaderContext::Current()
{
    return current;
}

CShaderProgram* CShaderContext::CreateProgram(const std::string& file, CGprofile profile)
{
    listing.clear();
    GLenum stage = StageOfProfile(profile);
    if (stage == 0)
    {
        RaiseShaderError(CG_INVALID_PROFILE_ERROR);
        return nullptr;
    }
    std::string text;
    if (!ReadSource(file, text))
        return nullptr;
    std::string source = dialect.prologue + CGlslProgram::LineDirective(1) + text;
    auto program = std::make_unique<CGlslProgram>(stage, source);
    listing = ListCompilerLog(file, program->InfoLog());
    if (!program->IsLinked())
    {
        RaiseShaderError(CG_COMPILER_ERROR);
        return nullptr;
    }
    programs.push_back(std::make_unique<CShaderProgram>(*this, std::move(program)));
    return programs.back().get();
}

CEffect* CShaderContext::CreateEffect(const std::string& file)
{
    listing.clear();
    std::string text;
    if (!ReadSource(file, text))
        return nullptr;
    CEffectParser parser;
    if (!parser.Parse(text))
    {
        for (const EffectError& error : parser.Errors())
            listing += ListingLine(file, error.line, error.message) + "\n";
        RaiseShaderError(CG_COMPILER_ERROR);
        return nullptr;
    }
    auto effect = std::make_unique<CEffect>(*this, file);
    if (!effect->Build(parser.Effect(), listing))
    {
        RaiseShaderError(CG_COMPILER_ERROR);
        return nullptr;
    }
    effects.push_back(std::move(effect));
    return effects.back().get();
}

bool CShaderContext::ValidateTechnique(const CTechnique& technique)
{
    if (technique.Validate(listing))
        return true;
    RaiseShaderError(CG_INVALID_TECHNIQUE_ERROR);
    return false;
}

bool CShaderContext::ReadSource(const std::string& file, std::string& text)
{
    if (ReadTextFile(file, text))
        return true;
    RaiseShaderError(CG_FILE_READ_ERROR);
    listing = ListingLine(file, ShaderErrorString(CG_FILE_READ_ERROR)) + "\n";
    return false;
}
