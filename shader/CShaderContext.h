// SPDX-License-Identifier: MIT
// A shading context: it owns every program and effect made in it, the program pipeline they are
// drawn through, and the listing of the last compile, parse or validation. The runtime works with
// one context: the profile operations, which name no context, act on the pipeline of the context
// made last. Programs and effects can be rebuilt in place from their changed files.
#pragma once

#include "shader/CEffect.h"
#include "shader/CProgramPipeline.h"
#include "shader/CShaderProgram.h"
#include "shader/Cg.h"
#include "shader/GlslDialect.h"

#include <memory>
#include <string>
#include <vector>

class CShaderContext
{
public:
    CShaderContext();
    ~CShaderContext();
    CShaderContext(const CShaderContext&) = delete;
    CShaderContext& operator=(const CShaderContext&) = delete;

    // The context made last and not yet destroyed, or null.
    static CShaderContext* Current();

    // Null on failure, with the runtime's error raised and the listing saying why.
    CShaderProgram* CreateProgram(const std::string& file, CGprofile profile);
    CEffect* CreateEffect(const std::string& file);
    // False when a pass cannot draw on this GL, with the error raised and the reasons listed.
    bool ValidateTechnique(const CTechnique& technique);
    // Reads the file again and rebuilds in place (see CShaderProgram::Replace, CEffect::Rebuild);
    // false, with the error raised and the listing saying why, when the new version does not
    // build or lacks a technique the scene uses, and the one in use stays. A version that leaves
    // out parameters the scene sets is taken, with a note for each. Either way the file's stamp is
    // the one just read.
    bool Reload(CShaderProgram& program);
    bool Reload(CEffect& effect);

    const std::vector<std::unique_ptr<CShaderProgram>>& Programs() const { return programs; }
    const std::vector<std::unique_ptr<CEffect>>& Effects() const { return effects; }

    // The prologue of every program compiled here, chosen for the GL context current at creation.
    const GlslDialect& Dialect() const { return dialect; }
    CProgramPipeline& Pipeline() { return pipeline; }
    const std::string& Listing() const { return listing; }
    void RegisterStates() { statesRegistered = true; }
    // Whether effect passes set GL state (programs and render states) when applied.
    bool StatesRegistered() const { return statesRegistered; }

private:
    bool ReadSource(const std::string& file, std::string& text, FileStamp& stamp);
    // The compiled program, or null with the error raised; the listing holds the compiler's log.
    std::unique_ptr<CGlslProgram> Compile(const std::string& file, GLenum stage, FileStamp& stamp);
    // Parses the file and builds it with `build` (Build or Rebuild of `effect`).
    bool BuildEffect(CEffect& effect, bool (CEffect::*build)(const EffectSource&, std::string&));

    GlslDialect dialect = CurrentGlslDialect();
    CProgramPipeline pipeline;
    std::vector<std::unique_ptr<CShaderProgram>> programs;
    std::vector<std::unique_ptr<CEffect>> effects;
    std::string listing;
    bool statesRegistered = false;
};

// The process's shading context, as the runtime's handle: made by CreateShaderContext at start-up
// and destroyed at shutdown. The scene's programs, its effect and the inspector's view programs
// are made in it.
extern CGcontext ShaderContext;
