// SPDX-License-Identifier: MIT
// Parser of the project's effect files (CG/HDR_FX.cgfx). The format, item by item, in any order:
//
//   // line comments, anywhere outside GLSL blocks
//   shared %{ GLSL put in front of every program of the effect %}
//   vertex NAME %{ GLSL vertex program, entry point main %}
//   fragment NAME %{ GLSL fragment program, entry point main %}
//   sampler NAME { MinFilter = Nearest; MagFilter = Linear; WrapS = Clamp; WrapT = Repeat; }
//   technique NAME
//   {
//       pass NAME
//       {
//           VertexProgram = NAME;
//           FragmentProgram = NAME;
//           DepthTestEnable = false;  // optional render states, true or false: DepthTestEnable,
//           BlendEnable = false;      // DepthMask, BlendEnable, CullFaceEnable
//       }
//   }
//
// - GLSL between %{ and %} is taken verbatim, braces and all; a %} inside a GLSL comment or
//   string is part of the code. Program text carries no #version line: the runtime compiles each
//   program as the context's prologue (see GlslDialect.h), the shared block and the program, with
//   #line directives so that compiler messages give the lines of the file.
// - Filters are Nearest or Linear (default Linear); wraps Clamp, ClampToEdge or Repeat (default
//   Repeat). A sampler block gives the state of the program uniform "uniform sampler2D NAME;";
//   one that names no sampler a program uses is an error of its line, found when the programs
//   are compiled.
// - The effect's parameters are its programs' uniforms by name; one name in several programs is
//   one parameter. Every sampler name gets its own texture unit, counting from 0.
// - Every pass names one vertex and one fragment program of the file. Values between the two
//   stages are passed as out/in variables of the same name (or the same layout location); no
//   gl_PerVertex redeclaration is needed on Mesa.
//
// Errors give the file line and a message. A syntax error ends the parse; errors in names and
// values are all reported.
#pragma once

#include "shader/CEffectLexer.h"
#include "shader/EffectSource.h"

#include <vector>

class CEffectParser
{
public:
    // True when `text` is a well-formed effect; Effect() then holds it, Errors() otherwise.
    bool Parse(const std::string& text);
    const EffectSource& Effect() const { return effect; }
    const std::vector<EffectError>& Errors() const { return errors; }

private:
    struct Assignment
    {
        std::string key;
        std::string value;
        int line;
    };

    bool ParseItem(const Token& keyword);
    bool ParseShared(const Token& keyword);
    bool ParseProgram(ProgramStage stage);
    bool ParseSampler();
    bool ParseTechnique();
    bool ParsePass(TechniqueSource& technique);
    // Reads "{ KEY = VALUE; ... }".
    bool ParseAssignments(std::vector<Assignment>& assignments);
    bool ExpectName(const char* what, Token& token);
    bool ExpectSymbol(const char* symbol, const char* what);
    bool SyntaxError(const Token& found, const char* expected);

    void ApplySamplerState(SamplerSource& sampler, const Assignment& assignment);
    void ApplyPassState(PassSource& pass, const Assignment& assignment);
    void CheckPassPrograms(const PassSource& pass);
    void CheckProgramReference(const ProgramReference& reference, ProgramStage stage, const PassSource& pass);
    void Error(int line, std::string message);

    CEffectLexer* lexer = nullptr;
    EffectSource effect;
    std::vector<EffectError> errors;
};
