// SPDX-License-Identifier: MIT
// The OpenGL binding of the shading runtime: profiles, program binding, state matrices and
// textures. Programs are bound through one program pipeline; with no profile enabled the
// pipeline is released and fixed-function drawing works again.
#pragma once

#include "shader/Cg.h"

#include <epoxy/gl.h>

enum CGGLenum
{
    CG_GL_MATRIX_IDENTITY = 0,
    CG_GL_MODELVIEW_PROJECTION_MATRIX = 7,
};

// Lets the passes of the context's effects set GL state; until then setting a pass does nothing.
void cgGLRegisterStates(CGcontext context);
void cgGLSetOptimalOptions(CGprofile profile);

void cgGLLoadProgram(CGprogram program);  // a null program: nothing
void cgGLBindProgram(CGprogram program);  // selects the program for its profile's stage
void cgGLEnableProfile(CGprofile profile);
void cgGLDisableProfile(CGprofile profile);

void cgGLSetParameter1f(CGparameter parameter, float x);
void cgGLSetParameter3f(CGparameter parameter, float x, float y, float z);
void cgGLSetParameter4f(CGparameter parameter, float x, float y, float z, float w);
// Captures projection x model-view as they stand at this call.
void cgGLSetStateMatrixParameter(CGparameter parameter, CGGLenum matrix, CGGLenum transform);

// Samplers have texture units fixed at load time. Set records the texture, Enable binds it to the
// sampler's unit, Disable unbinds it; texture unit 0 is active again after each.
void cgGLSetTextureParameter(CGparameter parameter, GLuint texture);
void cgGLEnableTextureParameter(CGparameter parameter);
void cgGLDisableTextureParameter(CGparameter parameter);
// Effect samplers: binds the texture to the sampler's unit and applies the effect's sampler state.
void cgGLSetupSampler(CGparameter parameter, GLuint texture);
