// SPDX-License-Identifier: MIT
// Builds the parameters of programs and effects from the programs' active uniforms.
#include "shader/CParameterTable.h"

void CParameterTable::Add(const CGlslProgram& program)
{
    for (const CGlslProgram::Uniform& uniform : program.Uniforms())
    {
        CShaderParameter* parameter = Find(uniform.name);
        if (parameter == nullptr)
        {
            parameters.push_back(std::make_unique<CShaderParameter>(uniform.name));
            parameter = parameters.back().get();
        }
        parameter->AddUniform(program.Name(), uniform.location, uniform.type);
    }
}

void CParameterTable::ClearUniforms()
{
    for (const auto& parameter : parameters)
        parameter->ClearUniforms();
}

void CParameterTable::RestoreValues()
{
    for (const auto& parameter : parameters)
        parameter->RestoreValues();
}

void CParameterTable::AssignTextureUnits(GLint firstUnit)
{
    GLint unit = firstUnit;
    for (const auto& parameter : parameters)
    {
        if (parameter->IsSampler())
            parameter->AssignTextureUnit(unit++);
    }
}

CShaderParameter* CParameterTable::Find(const std::string& name) const
{
    for (const auto& parameter : parameters)
    {
        if (parameter->Name() == name)
            return parameter.get();
    }
    return nullptr;
}
