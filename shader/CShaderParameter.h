// SPDX-License-Identifier: MIT
// A named parameter of a program or an effect: the uniform of that name in one program, or in
// every program of an effect that declares it. Values go straight to the programs with
// glProgramUniform*, converted to each uniform's own type. Samplers have a texture unit fixed at
// load time, the texture tied to them, and for effect samplers with sampler state a GL sampler
// object that is bound to the unit together with the texture. A parameter outlives the programs
// it sets: when they are rebuilt it is pointed at the new ones' uniforms, and the float values it
// was given are written into them again.
#pragma once

#include <epoxy/gl.h>

#include <string>
#include <vector>

class CShaderParameter
{
public:
    explicit CShaderParameter(std::string name) : name(std::move(name)) {}

    // Adds the uniform `location` of type `type` in `program` to what this parameter sets.
    void AddUniform(GLuint program, GLint location, GLenum type);
    // Forgets every uniform, the unit and the sampler object, as before the first AddUniform.
    void ClearUniforms();
    // Writes the last float values set into the uniforms it has now.
    void RestoreValues();
    const std::string& Name() const { return name; }
    bool IsSampler() const { return textureTarget != 0; }
    GLint TextureUnit() const { return unit; }
    GLuint SamplerObject() const { return samplerObject; }

    // Load-time set-up of a sampler: its unit (written into every program) and its sampler object.
    void AssignTextureUnit(GLint textureUnit);
    void SetSamplerObject(GLuint sampler) { samplerObject = sampler; }

    // Sets a float or vector uniform from as many of `values` as its type holds; uniforms of other
    // types are left alone.
    void SetFloats(const float (&values)[4]);
    // Sets a 4 x 4 matrix uniform from sixteen floats in column-major order.
    void SetMatrix(const float (&columnMajor)[16]);

    // Texture unit 0 is the active unit again after each of these.
    void SetTexture(GLuint textureName) { texture = textureName; }
    void EnableTexture();
    void DisableTexture();

private:
    void WriteFloats() const;

    struct Uniform
    {
        GLuint program;
        GLint location;
        GLenum type;
    };

    std::string name;
    std::vector<Uniform> uniforms;
    GLenum textureTarget = 0;
    GLint unit = -1;
    GLuint texture = 0;
    GLuint samplerObject = 0;
    float values[4] = {};
    bool valuesSet = false;
};
