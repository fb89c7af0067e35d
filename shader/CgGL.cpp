// SPDX-License-Identifier: MIT
// The runtime's OpenGL entry points: program binding through the context's pipeline, GL-side
// parameter setting, state matrices and textures. Null handles do nothing.
#include "shader/CgGL.h"

#include "shader/Handles.h"
#include "shader/StateMatrix.h"

void cgGLRegisterStates(CGcontext context)
{
    if (context != nullptr)
        FromHandle(context)->RegisterStates();
}

// Programs are compiled by the driver as they are created, with its own best options.
void cgGLSetOptimalOptions(CGprofile)
{
}

// Programs are ready to bind once created; loading has nothing left to do.
void cgGLLoadProgram(CGprogram)
{
}

void cgGLBindProgram(CGprogram program)
{
    if (program == nullptr)
        return;
    CShaderProgram* bound = FromHandle(program);
    bound->Context().Pipeline().Select(bound->Stage(), bound->Name());
}

void cgGLEnableProfile(CGprofile profile)
{
    GLenum stage = StageOfProfile(profile);
    if (stage != 0 && CShaderContext::Current() != nullptr)
        CShaderContext::Current()->Pipeline().Enable(stage);
}

void cgGLDisableProfile(CGprofile profile)
{
    GLenum stage = StageOfProfile(profile);
    if (stage != 0 && CShaderContext::Current() != nullptr)
        CShaderContext::Current()->Pipeline().Disable(stage);
}

void cgGLSetParameter1f(CGparameter parameter, float x)
{
    cgSetParameter1f(parameter, x);
}

void cgGLSetParameter3f(CGparameter parameter, float x, float y, float z)
{
    cgSetParameter3f(parameter, x, y, z);
}

void cgGLSetParameter4f(CGparameter parameter, float x, float y, float z, float w)
{
    cgSetParameter4f(parameter, x, y, z, w);
}

void cgGLSetStateMatrixParameter(CGparameter parameter, CGGLenum matrix, CGGLenum transform)
{
    if (parameter == nullptr || matrix != CG_GL_MODELVIEW_PROJECTION_MATRIX || transform != CG_GL_MATRIX_IDENTITY)
        return;
    float modelViewProjection[16];
    ReadModelViewProjection(modelViewProjection);
    FromHandle(parameter)->SetMatrix(modelViewProjection);
}

void cgGLSetTextureParameter(CGparameter parameter, GLuint texture)
{
    if (parameter != nullptr)
        FromHandle(parameter)->SetTexture(texture);
}

void cgGLEnableTextureParameter(CGparameter parameter)
{
    if (parameter != nullptr)
        FromHandle(parameter)->EnableTexture();
}

void cgGLDisableTextureParameter(CGparameter parameter)
{
    if (parameter != nullptr)
        FromHandle(parameter)->DisableTexture();
}

void cgGLSetupSampler(CGparameter parameter, GLuint texture)
{
    if (parameter == nullptr)
        return;
    FromHandle(parameter)->SetTexture(texture);
    FromHandle(parameter)->EnableTexture();
}
