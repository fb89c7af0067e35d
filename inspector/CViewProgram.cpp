// SPDX-License-Identifier: MIT
#include "inspector/CViewProgram.h"

#include "shader/CShaderContext.h"
#include "shader/CgGL.h"

namespace
{
constexpr CGprofile VertexProfile = CG_PROFILE_VP40;
constexpr CGprofile FragmentProfile = CG_PROFILE_ARBFP1;

// After start-up a failure goes into the inspector's window, not into a box.
CGprogram LoadProgram(CGprofile profile, const char* file, std::string& problem)
{
    cgGLSetOptimalOptions(profile);
    const CGprogram program = cgCreateProgramFromFile(ShaderContext, CG_SOURCE, file, profile, "main", nullptr);
    if (program == nullptr && ShaderContext != nullptr)
    {
        cgGetError();
        const char* listing = cgGetLastListing(ShaderContext);
        problem += listing != nullptr ? listing : file;
    }
    cgGLLoadProgram(program);
    return program;
}
}

void CViewProgram::Load()
{
    loaded = true;
    vertexProgram = LoadProgram(VertexProfile, "CG/VP_TargetView.cg", problem);
    fragmentProgram = LoadProgram(FragmentProfile, "CG/FP_TargetView.cg", problem);
    modelViewProj = cgGetNamedParameter(vertexProgram, "ModelViewProj");
    image = cgGetNamedParameter(fragmentProgram, "Image");
    mode = cgGetNamedParameter(fragmentProgram, "Mode");
    scale = cgGetNamedParameter(fragmentProgram, "Scale");
}

void CViewProgram::Bind(const TargetView& view, float scaleFactor)
{
    if (!loaded)
        Load();
    cgGLBindProgram(vertexProgram);
    cgGLEnableProfile(VertexProfile);
    cgGLBindProgram(fragmentProgram);
    cgGLEnableProfile(FragmentProfile);
    cgGLSetStateMatrixParameter(modelViewProj, CG_GL_MODELVIEW_PROJECTION_MATRIX, CG_GL_MATRIX_IDENTITY);
    cgGLSetParameter1f(mode, static_cast<float>(view.mode));
    cgGLSetParameter1f(scale, scaleFactor);
    cgGLSetTextureParameter(image, view.target.texture);
    cgGLEnableTextureParameter(image);
}

void CViewProgram::Unbind()
{
    cgGLDisableTextureParameter(image);
    cgGLDisableProfile(VertexProfile);
    cgGLDisableProfile(FragmentProfile);
}

void CViewProgram::Release()
{
    *this = CViewProgram();
}
