// Compiles a separable program and lists the uniforms the runtime can set.
#include "shader/CGlslProgram.h"

std::string CGlslProgram::LineDirective(int line)
{
    return "#line " + std::to_string(line) + "\n";
}

CGlslProgram::CGlslProgram(GLenum stage, const std::string& source) : stage(stage)
{
    const char* text = source.c_str();
    name = glCreateShaderProgramv(stage, 1, &text);
    GLint status = GL_FALSE;
    glGetProgramiv(name, GL_LINK_STATUS, &status);
    linked = status == GL_TRUE;
    ReadInfoLog();
    if (linked)
        ReadUniforms();
}

CGlslProgram::~CGlslProgram()
{
    glDeleteProgram(name);
}

void CGlslProgram::ReadInfoLog()
{
    GLint length = 0;
    glGetProgramiv(name, GL_INFO_LOG_LENGTH, &length);
    if (length <= 1)
        return;
    infoLog.resize(static_cast<size_t>(length));
    glGetProgramInfoLog(name, length, nullptr, infoLog.data());
    infoLog.resize(static_cast<size_t>(length) - 1);
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
