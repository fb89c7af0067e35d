// A shading context: it owns every program and effect made in it, the program pipeline they are
// drawn through, and the listing of the last compile, parse or validation. The runtime works with
// one context: the profile operations, which name no context, act on the pipeline of the context
// made last.
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

    // The prologue of every program compiled here, chosen for the GL context current at creation.
    const GlslDialect& Dialect() const { return dialect; }
    CProgramPipeline& Pipeline() { return pipeline; }
    const std::string& Listing() const { return listing; }
    void RegisterStates() { statesRegistered = true; }
    // Whether effect passes set GL state (programs and render states) when applied.
    bool StatesRegistered() const { return statesRegistered; }

private:
    bool ReadSource(const std::string& file, std::string& text);

    GlslDialect dialect = CurrentGlslDialect();
    CProgramPipeline pipeline;
    std::vector<std::unique_ptr<CShaderProgram>> programs;
    std::vector<std::unique_ptr<CEffect>> effects;
    std::string listing;
    bool statesRegistered = false;
};
