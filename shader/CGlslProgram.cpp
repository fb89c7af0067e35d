// SPDX-License-Identifier: MIT
// Compiles a separable program and lists the uniforms the runtime can set.
#include "shader/CGlslProgram.h"

namespace
{
std::string StageComment(GLenum stage)
{
    return stage == GL_VERTEX_SHADER ? "\n// vertex stage\n" : "\n// fragment stage\n";
}

// The info log of a shader or program object, without its terminating zero.
template <typename GetValue, typename GetLog>
std::string ReadInfoLog(GLuint object, GetValue getValue, GetLog getLog)
{
    GLint length = 0;
    getValue(object, GL_INFO_LOG_LENGTH, &length);
    if (length <= 1)
        return {};
    std::string log(static_cast<size_t>(length), '\0');
    getLog(object, length, nullptr, log.data());
    log.resize(static_cast<size_t>(length) - 1);
    return log;
}
}

std::string CGlslProgram::LineDirective(int line)
{
    return "#line " + std::to_string(line) + "\n";
}

CGlslProgram::CGlslProgram(GLenum stage, const std::string& source)
    : stage(stage), source(source + StageComment(stage))
{
    GLuint shader = Compile();
    if (shader == 0)
        return;
    Link(shader);
    glDeleteShader(shader);
    if (linked)
        ReadUniforms();
}

CGlslProgram::~CGlslProgram()
{
    glDeleteProgram(name);
}

GLuint CGlslProgram::Compile()
{
    GLuint shader = glCreateShader(stage);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint status = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    infoLog = ReadInfoLog(shader, glGetShaderiv, glGetShaderInfoLog);
    if (status == GL_TRUE)
        return shader;
    glDeleteShader(shader);
    return 0;
}

void CGlslProgram::Link(GLuint shader)
{
    name = glCreateProgram();
    glProgramParameteri(name, GL_PROGRAM_SEPARABLE, GL_TRUE);
    glAttachShader(name, shader);
    glLinkProgram(name);
    glDetachShader(name, shader);
    GLint status = GL_FALSE;
    glGetProgramiv(name, GL_LINK_STATUS, &status);
    linked = status == GL_TRUE;
    infoLog += ReadInfoLog(name, glGetProgramiv, glGetProgramInfoLog);
}

void CGlslProgram::ReadUniforms()
{
    GLint count = 0;
    GLint longestName = 0;
    glGetProgramiv(name, GL_ACTIVE_UNIFORMS, &count);
    glGetProgramiv(name, GL_ACTIVE_UNIFORM_MAX_LENGTH, &longestName);
    std::vector<char> text(static_cast<size_t>(longestName) + 1);
    for (GLint index = 0; index < count; ++index)
    {
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(name, static_cast<GLuint>(index), static_cast<GLsizei>(text.size()), nullptr, &size,
                           &type, text.data());
        GLint location = glGetUniformLocation(name, text.data());
        // Members of uniform blocks have no location of their own and are not runtime parameters.
        if (location < 0)
            continue;
        std::string uniformName = text.data();
        if (uniformName.size() > 3 && uniformName.compare(uniformName.size() - 3, 3, "[0]") == 0)
            uniformName.resize(uniformName.size() - 3);
        uniforms.push_back({uniformName, location, type});
    }
}
