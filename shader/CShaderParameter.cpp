// SPDX-License-Identifier: MIT
// Writes parameter values into the programs and binds sampler textures to their units.
#include "shader/CShaderParameter.h"

#include <algorithm>
#include <iterator>

namespace
{
// The texture target a sampler type reads from; 0 for types that are not samplers.
GLenum TextureTargetOf(GLenum type)
{
    switch (type)
    {
    case GL_SAMPLER_1D: return GL_TEXTURE_1D;
    case GL_SAMPLER_2D:
    case GL_SAMPLER_2D_SHADOW: return GL_TEXTURE_2D;
    case GL_SAMPLER_3D: return GL_TEXTURE_3D;
    case GL_SAMPLER_CUBE: return GL_TEXTURE_CUBE_MAP;
    case GL_SAMPLER_2D_RECT: return GL_TEXTURE_RECTANGLE;
    default: return 0;
    }
}
}

void CShaderParameter::AddUniform(GLuint program, GLint location, GLenum type)
{
    uniforms.push_back({program, location, type});
    if (textureTarget == 0)
        textureTarget = TextureTargetOf(type);
}

void CShaderParameter::ClearUniforms()
{
    uniforms.clear();
    textureTarget = 0;
    unit = -1;
    samplerObject = 0;
}

void CShaderParameter::RestoreValues()
{
    if (valuesSet)
        WriteFloats();
}

void CShaderParameter::AssignTextureUnit(GLint textureUnit)
{
    unit = textureUnit;
    for (const Uniform& uniform : uniforms)
    {
        if (TextureTargetOf(uniform.type) != 0)
            glProgramUniform1i(uniform.program, uniform.location, unit);
    }
}

void CShaderParameter::SetFloats(const float (&newValues)[4])
{
    std::copy(std::begin(newValues), std::end(newValues), values);
    valuesSet = true;
    WriteFloats();
}

void CShaderParameter::WriteFloats() const
{
    for (const Uniform& uniform : uniforms)
    {
        switch (uniform.type)
        {
        case GL_FLOAT: glProgramUniform1fv(uniform.program, uniform.location, 1, values); break;
        case GL_FLOAT_VEC2: glProgramUniform2fv(uniform.program, uniform.location, 1, values); break;
        case GL_FLOAT_VEC3: glProgramUniform3fv(uniform.program, uniform.location, 1, values); break;
        case GL_FLOAT_VEC4: glProgramUniform4fv(uniform.program, uniform.location, 1, values); break;
        default: break;
        }
    }
}

void CShaderParameter::SetMatrix(const float (&columnMajor)[16])
{
    for (const Uniform& uniform : uniforms)
    {
        if (uniform.type == GL_FLOAT_MAT4)
            glProgramUniformMatrix4fv(uniform.program, uniform.location, 1, GL_FALSE, columnMajor);
    }
}

void CShaderParameter::EnableTexture()
{
    if (unit < 0)
        return;
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
    glBindTexture(textureTarget, texture);
    if (samplerObject != 0)
        glBindSampler(static_cast<GLuint>(unit), samplerObject);
    glActiveTexture(GL_TEXTURE0);
}

void CShaderParameter::DisableTexture()
{
    if (unit < 0)
        return;
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
    glBindTexture(textureTarget, 0);
    if (samplerObject != 0)
        glBindSampler(static_cast<GLuint>(unit), 0);
    glActiveTexture(GL_TEXTURE0);
}
