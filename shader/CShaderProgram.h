// SPDX-License-Identifier: MIT
// A program made from a file with a profile: its compiled stage program and its parameters.
// Vertex profiles (CG_PROFILE_VP40, CG_PROFILE_ARBVP1) compile for the vertex stage,
// CG_PROFILE_ARBFP1 for the fragment stage. Sampler units are fixed at load time: a fragment
// program's samplers take units 0, 1, 2, ... in the order the driver lists them, a vertex
// program's count up from unit 16, past every unit a fragment program can use, so that the two
// programs of a pair never share a unit.
// Program files hold GLSL 4.10 without a #version line (the runtime puts the context's prologue
// in front, see GlslDialect.h, line numbers unchanged). Values pass from the vertex to the
// fragment program as out/in variables of the same name or layout location; built-ins such as
// gl_Vertex, gl_MultiTexCoord0 and gl_ClipDistance need no gl_PerVertex redeclaration on Mesa.
#pragma once

#include "platform/TextFile.h"
#include "shader/CGlslProgram.h"
#include "shader/CParameterTable.h"
#include "shader/CUsedNames.h"
#include "shader/Cg.h"

#include <memory>

class CShaderContext;

// GL_VERTEX_SHADER or GL_FRAGMENT_SHADER for a supported profile, 0 for any other.
GLenum StageOfProfile(CGprofile profile);

class CShaderProgram
{
public:
    static constexpr GLint FirstFragmentTextureUnit = 0;
    static constexpr GLint FirstVertexTextureUnit = 16;

    // `stamp` is that of `file` as it was read for `program`.
    CShaderProgram(CShaderContext& context, std::string file, FileStamp stamp, std::unique_ptr<CGlslProgram> program);

    CShaderContext& Context() const { return context; }
    const std::string& File() const { return file; }
    const FileStamp& Stamp() const { return stamp; }
    void SetStamp(const FileStamp& read) { stamp = read; }
    // Puts a rebuilt program of the same stage in place of the one in use: the parameters, and
    // every handle to them, now set the new program, with their values and their sampler units.
    void Replace(std::unique_ptr<CGlslProgram> rebuilt);
    GLenum Stage() const { return program->Stage(); }
    GLuint Name() const { return program->Name(); }
    const CGlslProgram& Program() const { return *program; }
    // The parameter the scene asks for by name, or null; one found is used from then on.
    CShaderParameter* UseParameter(const std::string& name) { return used.Record(name, parameters.Find(name)); }
    // One note for each parameter in use that `rebuilt` leaves out: what the scene sets it to
    // goes nowhere while `rebuilt` is in use.
    std::string LeftOut(const CGlslProgram& rebuilt) const;

private:
    void TieParameters();

    CShaderContext& context;
    std::string file;
    FileStamp stamp;
    std::unique_ptr<CGlslProgram> program;
    CParameterTable parameters;
    CUsedNames used;
};
