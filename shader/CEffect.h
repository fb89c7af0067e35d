// SPDX-License-Identifier: MIT
// An effect loaded from the project's effect format (see CEffectParser.h): its compiled programs,
// its parameters (the programs' uniforms by name, samplers with units fixed at load time and
// GL sampler objects for the sampler blocks) and its techniques. A rebuild from a changed file
// keeps the effect, its parameters and its techniques, and so every handle to them.
#pragma once

#include "platform/TextFile.h"
#include "shader/CGlslProgram.h"
#include "shader/CParameterTable.h"
#include "shader/CTechnique.h"
#include "shader/CUsedNames.h"
#include "shader/EffectSource.h"

#include <memory>
#include <string>
#include <vector>

class CShaderContext;

class CEffect
{
public:
    CEffect(CShaderContext& context, std::string file) : context(context), file(std::move(file)) {}
    ~CEffect();
    CEffect(const CEffect&) = delete;
    CEffect& operator=(const CEffect&) = delete;

    // Compiles the programs and builds parameters and techniques; false when a program does not
    // compile or a sampler block names no sampler of a program, with the reasons in `listing`.
    bool Build(const EffectSource& source, std::string& listing);
    // Builds `source` aside as Build does; when that succeeds and the result has every technique
    // the scene uses (it fails, listing those it lacks, otherwise), its programs and sampler
    // states take the place of those in use, the parameters are pointed at the new programs with
    // their values (a parameter the source leaves out keeps its value and sets nothing, with a
    // note in `listing`), and the techniques get the passes of the same-named techniques of
    // `source` (a technique the source lacks is left with none). When it fails, nothing changes.
    bool Rebuild(const EffectSource& source, std::string& listing);

    CShaderContext& Context() const { return context; }
    const std::string& File() const { return file; }
    // The stamp of the file as it was last read for this effect.
    const FileStamp& Stamp() const { return stamp; }
    void SetStamp(const FileStamp& read) { stamp = read; }
    CTechnique* FirstTechnique() const;
    CTechnique* NextTechnique(const CTechnique& technique) const;
    CTechnique* FindTechnique(const std::string& name) const;
    // The technique or parameter the scene asks for by name, or null; one found is used from
    // then on.
    CTechnique* UseTechnique(const std::string& name) { return usedTechniques.Record(name, FindTechnique(name)); }
    CShaderParameter* UseParameter(const std::string& name) { return usedParameters.Record(name, parameters.Find(name)); }
    const std::vector<std::unique_ptr<CGlslProgram>>& Programs() const { return programs; }
    // Takes the effect's sampler states off their units, so they reach no other texture.
    void UnbindSamplerObjects() const;

private:
    bool CompilePrograms(const EffectSource& source, std::string& listing);
    bool CreateSamplerObjects(const EffectSource& source, std::string& listing);
    std::string SameNameInOtherCase(const std::string& name) const;
    void TieParameters();
    void BuildTechniques(const EffectSource& source);
    const CGlslProgram& ProgramNamed(const std::string& name) const;
    // One listing line for each technique in use that `rebuilt` lacks: empty when it may replace
    // the effect in use.
    std::string Lacking(const CEffect& rebuilt) const;
    // One note for each parameter in use that `rebuilt` leaves out.
    std::string LeftOut(const CEffect& rebuilt) const;

    CShaderContext& context;
    std::string file;
    FileStamp stamp;
    std::vector<std::string> programNames;
    std::vector<std::unique_ptr<CGlslProgram>> programs;
    CParameterTable parameters;
    std::vector<GLuint> samplerObjects;
    std::vector<std::unique_ptr<CTechnique>> techniques;
    CUsedNames usedTechniques;
    CUsedNames usedParameters;
};
