// SPDX-License-Identifier: MIT
// One GLSL separable program of one stage, with its active uniforms. The stage is compiled as a
// shader object whose log is read before anything is linked, and the program is made only from a
// shader that compiled.
// Mesa 22.3 keys its shader cache by the text alone: text that once compiled for one stage counts
// as compiling for any, its compile is skipped and reported as a success, and the real compile at
// link time fails through a path that reads freed memory (glCreateShaderProgramv takes the same
// path). The text the driver sees therefore ends with a comment naming the stage.
// Sources get the runtime's prologue: the #version line below, then a #line directive so that
// the line numbers in the compiler's messages are those of the file the text came from.
#pragma once

#include <epoxy/gl.h>

#include <string>
#include <vector>

class CGlslProgram
{
public:
    struct Uniform
    {
        std::string name;  // an array is listed by its plain name and set through its first element
        GLint location;
        GLenum type;
    };

    // Makes the next source line count as `line` of the file.
    static std::string LineDirective(int line);

    // Compiles and links `source` (a complete GLSL text, prologue included) for `stage`,
    // GL_VERTEX_SHADER or GL_FRAGMENT_SHADER.
    CGlslProgram(GLenum stage, const std::string& source);
    ~CGlslProgram();
    CGlslProgram(const CGlslProgram&) = delete;
    CGlslProgram& operator=(const CGlslProgram&) = delete;

    bool IsLinked() const { return linked; }
    // The compiler's and linker's messages, in the driver's words.
    const std::string& InfoLog() const { return infoLog; }
    // The text the driver compiled, prologue and stage comment included, as other compilers
    // should see it too.
    const std::string& Source() const { return source; }
    GLuint Name() const { return name; }
    GLenum Stage() const { return stage; }
    const std::vector<Uniform>& Uniforms() const { return uniforms; }

private:
    // The compiled shader object, or 0 with the compiler's messages in infoLog.
    GLuint Compile();
    void Link(GLuint shader);
    void ReadUniforms();

    GLenum stage;
    std::string source;
    GLuint name = 0;
    bool linked = false;
    std::string infoLog;
    std::vector<Uniform> uniforms;
};
