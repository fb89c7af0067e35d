// SPDX-License-Identifier: MIT
// The runtime's C entry points for contexts, programs, parameters and effects: each checks its
// handles and hands the work to the class behind them.
#include "shader/Cg.h"

#include "shader/Handles.h"
#include "shader/ShaderError.h"

#include <cstring>

namespace
{
void SetFloats(CGparameter parameter, float x, float y, float z, float w)
{
    if (parameter != nullptr)
        FromHandle(parameter)->SetFloats({x, y, z, w});
}
}

CGcontext cgCreateContext()
{
    return ToHandle(new CShaderContext());
}

void cgDestroyContext(CGcontext context)
{
    delete FromHandle(context);
}

const char* cgGetLastListing(CGcontext context)
{
    return context != nullptr ? FromHandle(context)->Listing().c_str() : "";
}

CGerror cgGetError()
{
    return TakeShaderError();
}

const char* cgGetErrorString(CGerror error)
{
    return ShaderErrorString(error);
}

CGprogram cgCreateProgramFromFile(CGcontext context, CGenum programType, const char* file, CGprofile profile,
                                  const char* entry, const char**)
{
    if (context == nullptr)
    {
        RaiseShaderError(CG_INVALID_CONTEXT_HANDLE_ERROR);
        return nullptr;
    }
    // GLSL programs are compiled from source and always start at main.
    bool sourceFromMain = programType == CG_SOURCE && (entry == nullptr || std::strcmp(entry, "main") == 0);
    if (!sourceFromMain || file == nullptr)
    {
        RaiseShaderError(CG_INVALID_PARAMETER_ERROR);
        return nullptr;
    }
    return ToHandle(FromHandle(context)->CreateProgram(file, profile));
}

CGparameter cgGetNamedParameter(CGprogram program, const char* name)
{
    if (program == nullptr || name == nullptr)
        return nullptr;
    return ToHandle(FromHandle(program)->UseParameter(name));
}

void cgSetParameter1f(CGparameter parameter, float x)
{
    SetFloats(parameter, x, 0.0f, 0.0f, 0.0f);
}

void cgSetParameter2f(CGparameter parameter, float x, float y)
{
    SetFloats(parameter, x, y, 0.0f, 0.0f);
}

void cgSetParameter3f(CGparameter parameter, float x, float y, float z)
{
    SetFloats(parameter, x, y, z, 0.0f);
}

void cgSetParameter4f(CGparameter parameter, float x, float y, float z, float w)
{
    SetFloats(parameter, x, y, z, w);
}

CGeffect cgCreateEffectFromFile(CGcontext context, const char* file, const char**)
{
    if (context == nullptr)
    {
        RaiseShaderError(CG_INVALID_CONTEXT_HANDLE_ERROR);
        return nullptr;
    }
    if (file == nullptr)
    {
        RaiseShaderError(CG_INVALID_PARAMETER_ERROR);
        return nullptr;
    }
    return ToHandle(FromHandle(context)->CreateEffect(file));
}

CGtechnique cgGetFirstTechnique(CGeffect effect)
{
    return effect != nullptr ? ToHandle(FromHandle(effect)->FirstTechnique()) : nullptr;
}

CGtechnique cgGetNextTechnique(CGtechnique technique)
{
    if (technique == nullptr)
        return nullptr;
    const CTechnique& current = *FromHandle(technique);
    return ToHandle(current.Effect().NextTechnique(current));
}

CGtechnique cgGetNamedTechnique(CGeffect effect, const char* name)
{
    if (effect == nullptr || name == nullptr)
        return nullptr;
    return ToHandle(FromHandle(effect)->UseTechnique(name));
}

CGbool cgValidateTechnique(CGtechnique technique)
{
    if (technique == nullptr)
        return CG_FALSE;
    const CTechnique& validated = *FromHandle(technique);
    return validated.Effect().Context().ValidateTechnique(validated) ? CG_TRUE : CG_FALSE;
}

CGparameter cgGetNamedEffectParameter(CGeffect effect, const char* name)
{
    if (effect == nullptr || name == nullptr)
        return nullptr;
    return ToHandle(FromHandle(effect)->UseParameter(name));
}

CGpass cgGetFirstPass(CGtechnique technique)
{
    return technique != nullptr ? ToHandle(FromHandle(technique)->FirstPass()) : nullptr;
}

void cgSetPassState(CGpass pass)
{
    if (pass != nullptr)
        FromHandle(pass)->SetState();
}

void cgResetPassState(CGpass pass)
{
    if (pass != nullptr)
        FromHandle(pass)->ResetState();
}
