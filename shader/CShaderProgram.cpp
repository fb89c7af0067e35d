// A loaded program: the stage of its profile and its parameters with their texture units.
#include "shader/CShaderProgram.h"

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

CShaderProgram::CShaderProgram(CShaderContext& context, std::unique_ptr<CGlslProgram> program)
    : context(context), program(std::move(program))
{
    parameters.Add(*this->program);
    parameters.AssignTextureUnits(Stage() == GL_VERTEX_SHADER ? FirstVertexTextureUnit : FirstFragmentTextureUnit);
}
