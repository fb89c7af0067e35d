// SPDX-License-Identifier: MIT
// The parameters of a program or an effect, by name: every uniform of the programs added, with a
// uniform of the same name in several programs merged into one parameter.
#pragma once

#include "shader/CGlslProgram.h"
#include "shader/CShaderParameter.h"

#include <memory>
#include <vector>

class CParameterTable
{
public:
    void Add(const CGlslProgram& program);
    // Unties every parameter from its uniforms, keeping the parameters (and handles to them) and
    // their values, before the rebuilt programs are added.
    void ClearUniforms();
    // Writes every parameter's last float values into the uniforms added since ClearUniforms.
    void RestoreValues();
    // Gives every sampler its own unit, counting up from `firstUnit` in the order of first
    // appearance, and writes it into the programs.
    void AssignTextureUnits(GLint firstUnit);
    // Null when no program has a uniform of that name.
    CShaderParameter* Find(const std::string& name) const;
    const std::vector<std::unique_ptr<CShaderParameter>>& Parameters() const { return parameters; }

private:
    std::vector<std::unique_ptr<CShaderParameter>> parameters;
};
