// SPDX-License-Identifier: MIT
// Attaches and releases the stages of the context's program pipeline.
#include "shader/CProgramPipeline.h"

namespace
{
GLbitfield StageBit(GLenum stage)
{
    return stage == GL_VERTEX_SHADER ? GL_VERTEX_SHADER_BIT : GL_FRAGMENT_SHADER_BIT;
}
}

CProgramPipeline::~CProgramPipeline()
{
    if (name == 0)
        return;
    if (vertex.enabled || fragment.enabled)
    {
        glBindProgramPipeline(0);
        glUseProgram(0);
    }
    glDeleteProgramPipelines(1, &name);
}

void CProgramPipeline::Select(GLenum stage, GLuint program)
{
    Stage& selected = StageOf(stage);
    selected.program = program;
    if (selected.enabled)
        Attach(stage);
}

void CProgramPipeline::Enable(GLenum stage)
{
    if (name == 0)
        glGenProgramPipelines(1, &name);
    StageOf(stage).enabled = true;
    Attach(stage);
    glBindProgramPipeline(name);
}

void CProgramPipeline::Disable(GLenum stage)
{
    Stage& released = StageOf(stage);
    if (!released.enabled)
        return;
    released.enabled = false;
    released.program = 0;
    glUseProgramStages(name, StageBit(stage), 0);
    if (!vertex.enabled && !fragment.enabled)
    {
        glBindProgramPipeline(0);
        glUseProgram(0);
    }
}

void CProgramPipeline::Attach(GLenum stage)
{
    glUseProgramStages(name, StageBit(stage), StageOf(stage).program);
}

bool CProgramPipeline::Validate(GLuint vertexProgram, GLuint fragmentProgram, std::string& log)
{
    GLuint pipeline = 0;
    glGenProgramPipelines(1, &pipeline);
    glUseProgramStages(pipeline, GL_VERTEX_SHADER_BIT, vertexProgram);
    glUseProgramStages(pipeline, GL_FRAGMENT_SHADER_BIT, fragmentProgram);
    glValidateProgramPipeline(pipeline);
    GLint status = GL_FALSE;
    GLint length = 0;
    glGetProgramPipelineiv(pipeline, GL_VALIDATE_STATUS, &status);
    glGetProgramPipelineiv(pipeline, GL_INFO_LOG_LENGTH, &length);
    if (length > 1)
    {
        log.resize(static_cast<size_t>(length));
        glGetProgramPipelineInfoLog(pipeline, length, nullptr, log.data());
        log.resize(static_cast<size_t>(length) - 1);
    }
    glDeleteProgramPipelines(1, &pipeline);
    return status == GL_TRUE;
}
