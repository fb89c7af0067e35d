// SPDX-License-Identifier: MIT
// A loaded program: the stage of its profile and its parameters with their texture units, kept
// across rebuilds.
#include "shader/CShaderProgram.h"

#include <algorithm>

GLenum StageOfProfile(CGprofile profile)
{
    switch (profile)
    {
    case CG_PROFILE_VP40:
    case CG_PROFILE_ARBVP1: return GL_VERTEX_SHADER;
    case CG_PROFILE_ARBFP1: return GL_FRAGMENT_SHADER;
    default: return 0;
    }
}

CShaderProgram::CShaderProgram(CShaderContext& context, std::string file, FileStamp stamp,
                               std::unique_ptr<CGlslProgram> program)
    : context(context), file(std::move(file)), stamp(stamp), program(std::move(program))
{
    TieParameters();
}

void CShaderProgram::Replace(std::unique_ptr<CGlslProgram> rebuilt)
{
    program = std::move(rebuilt);
    parameters.ClearUniforms();
    TieParameters();
    parameters.RestoreValues();
}

std::string CShaderProgram::LeftOut(const CGlslProgram& rebuilt) const
{
    const auto offers = [&rebuilt](const std::string& name)
    {
        const auto& uniforms = rebuilt.Uniforms();
        return std::any_of(uniforms.begin(), uniforms.end(),
                           [&name](const CGlslProgram::Uniform& uniform) { return uniform.name == name; });
    };
    return used.LeftOut(file, offers);
}

void CShaderProgram::TieParameters()
{
    parameters.Add(*program);
    parameters.AssignTextureUnits(Stage() == GL_VERTEX_SHADER ? FirstVertexTextureUnit : FirstFragmentTextureUnit);
}
