// SPDX-License-Identifier: MIT
// The one program pipeline of a shading context. Each stage (vertex, fragment) has a selected
// program and is either enabled, with that program attached to the pipeline, or released. While
// any stage is enabled the pipeline is bound; with both released it is unbound and no program is
// in use, so fixed-function drawing works again. Releasing a stage also forgets its program, so
// enabling it again with no program selected since (as after a bind that failed) draws without a
// program of that stage rather than with the one used before. The GL object is made on first use, when a GL
// context is current.
#pragma once

#include <epoxy/gl.h>

#include <string>

class CProgramPipeline
{
public:
    CProgramPipeline() = default;
    ~CProgramPipeline();
    CProgramPipeline(const CProgramPipeline&) = delete;
    CProgramPipeline& operator=(const CProgramPipeline&) = delete;

    // `stage` is GL_VERTEX_SHADER or GL_FRAGMENT_SHADER; `program` a separable program of it.
    void Select(GLenum stage, GLuint program);
    void Enable(GLenum stage);
    void Disable(GLenum stage);

    // Whether a vertex and a fragment program can draw together; the driver's reasons in `log`.
    static bool Validate(GLuint vertexProgram, GLuint fragmentProgram, std::string& log);

private:
    struct Stage
    {
        GLuint program = 0;
        bool enabled = false;
    };

    Stage& StageOf(GLenum stage) { return stage == GL_VERTEX_SHADER ? vertex : fragment; }
    void Attach(GLenum stage);

    GLuint name = 0;
    Stage vertex;
    Stage fragment;
};
