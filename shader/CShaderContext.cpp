// SPDX-License-Identifier: MIT
// Creates programs from files and keeps everything made in the context until it is destroyed.
#include "shader/CShaderContext.h"

#include "platform/TextFile.h"
#include "shader/CEffectParser.h"
#include "shader/CompilerListing.h"
#include "shader/FileMessage.h"
#include "shader/ShaderError.h"

CGcontext ShaderContext = nullptr;

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
    FileStamp stamp;
    std::unique_ptr<CGlslProgram> program = Compile(file, stage, stamp);
    if (program == nullptr)
        return nullptr;
    programs.push_back(std::make_unique<CShaderProgram>(*this, file, stamp, std::move(program)));
    return programs.back().get();
}

CEffect* CShaderContext::CreateEffect(const std::string& file)
{
    auto effect = std::make_unique<CEffect>(*this, file);
    if (!BuildEffect(*effect, &CEffect::Build))
        return nullptr;
    effects.push_back(std::move(effect));
    return effects.back().get();
}

bool CShaderContext::Reload(CShaderProgram& program)
{
    listing.clear();
    FileStamp stamp;
    std::unique_ptr<CGlslProgram> rebuilt = Compile(program.File(), program.Stage(), stamp);
    program.SetStamp(stamp);
    if (rebuilt == nullptr)
        return false;
    // A version that builds is taken, as at start-up, even where it leaves out a parameter the
    // scene sets (a program that paints the water plain red to see where it is drawn).
    listing += program.LeftOut(*rebuilt);
    program.Replace(std::move(rebuilt));
    return true;
}

bool CShaderContext::Reload(CEffect& effect)
{
    return BuildEffect(effect, &CEffect::Rebuild);
}

std::unique_ptr<CGlslProgram> CShaderContext::Compile(const std::string& file, GLenum stage, FileStamp& stamp)
{
    std::string text;
    if (!ReadSource(file, text, stamp))
        return nullptr;
    auto program = std::make_unique<CGlslProgram>(stage, dialect.prologue + CGlslProgram::LineDirective(1) + text);
    listing = ListCompilerLog(file, program->InfoLog());
    if (program->IsLinked())
        return program;
    RaiseShaderError(CG_COMPILER_ERROR);
    return nullptr;
}

bool CShaderContext::BuildEffect(CEffect& effect, bool (CEffect::*build)(const EffectSource&, std::string&))
{
    listing.clear();
    std::string text;
    FileStamp stamp;
    const bool read = ReadSource(effect.File(), text, stamp);
    effect.SetStamp(stamp);
    if (!read)
        return false;
    CEffectParser parser;
    if (!parser.Parse(text))
    {
        for (const EffectError& error : parser.Errors())
            listing += FileMessage(effect.File(), error.line, error.message) + "\n";
        RaiseShaderError(CG_COMPILER_ERROR);
        return false;
    }
    if ((effect.*build)(parser.Effect(), listing))
        return true;
    RaiseShaderError(CG_COMPILER_ERROR);
    return false;
}

bool CShaderContext::ValidateTechnique(const CTechnique& technique)
{
    if (technique.Validate(listing))
        return true;
    RaiseShaderError(CG_INVALID_TECHNIQUE_ERROR);
    return false;
}

// The stamp is taken before the file is read: a change while it is read shows at the next look.
bool CShaderContext::ReadSource(const std::string& file, std::string& text, FileStamp& stamp)
{
    stamp = StampOf(file);
    if (ReadTextFile(file, text))
        return true;
    RaiseShaderError(CG_FILE_READ_ERROR);
    listing = FileMessage(file, ShaderErrorString(CG_FILE_READ_ERROR)) + "\n";
    return false;
}
