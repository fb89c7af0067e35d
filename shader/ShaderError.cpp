// SPDX-License-Identifier: MIT
// The runtime's last error and the plain-English text of every error code.
#include "shader/ShaderError.h"

namespace
{
CGerror lastError = CG_NO_ERROR;
}

void RaiseShaderError(CGerror error)
{
    lastError = error;
}

CGerror TakeShaderError()
{
    CGerror error = lastError;
    lastError = CG_NO_ERROR;
    return error;
}

const char* ShaderErrorString(CGerror error)
{
    switch (error)
    {
    case CG_NO_ERROR: return "No error has occurred.";
    case CG_COMPILER_ERROR: return "The compile returned an error.";
    case CG_INVALID_PARAMETER_ERROR: return "An argument of the call is not valid.";
    case CG_INVALID_PROFILE_ERROR: return "The profile is not supported.";
    case CG_FILE_READ_ERROR: return "The file could not be read.";
    case CG_INVALID_CONTEXT_HANDLE_ERROR: return "The context handle is not valid.";
    case CG_INVALID_PROGRAM_HANDLE_ERROR: return "The program handle is not valid.";
    case CG_INVALID_EFFECT_HANDLE_ERROR: return "The effect handle is not valid.";
    case CG_INVALID_TECHNIQUE_HANDLE_ERROR: return "The technique handle is not valid.";
    case CG_INVALID_PASS_HANDLE_ERROR: return "The pass handle is not valid.";
    case CG_INVALID_PARAM_HANDLE_ERROR: return "The parameter handle is not valid.";
    case CG_INVALID_TECHNIQUE_ERROR: return "The technique did not pass validation on this hardware.";
    }
    return "An unknown error has occurred.";
}
