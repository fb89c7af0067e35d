// SPDX-License-Identifier: MIT
// The project's own shading runtime over GLSL. It offers the operations of the vendor runtime the
// scene was written against, under the same names and with the same meaning, so the water
// programs and the HDR effect read as they would there:
//   - one context owns programs (GLSL separable programs, entry point "main") and effects
//     (the project's effect format, documented at the top of CG/HDR_FX.cgfx);
//   - every handle may be null: an operation on a null handle does nothing;
//   - failures show as null handles, with cgGetError / cgGetErrorString and, for compile and
//     parse errors, a listing (file, line, message) from cgGetLastListing.
#pragma once

struct _CGcontext;
struct _CGprogram;
struct _CGparameter;
struct _CGeffect;
struct _CGtechnique;
struct _CGpass;

using CGcontext = _CGcontext*;
using CGprogram = _CGprogram*;
using CGparameter = _CGparameter*;
using CGeffect = _CGeffect*;
using CGtechnique = _CGtechnique*;
using CGpass = _CGpass*;
using CGbool = int;

enum CGenum
{
    CG_SOURCE = 4112,
};

enum CGprofile
{
    CG_PROFILE_UNKNOWN = 6145,
    CG_PROFILE_ARBVP1 = 6150,
    CG_PROFILE_ARBFP1 = 7000,
    CG_PROFILE_VP40 = 7001,
};

enum CGerror
{
    CG_NO_ERROR = 0,
    CG_COMPILER_ERROR = 1,
    CG_INVALID_PARAMETER_ERROR = 2,
    CG_INVALID_PROFILE_ERROR = 3,
    CG_FILE_READ_ERROR = 4,
    CG_INVALID_CONTEXT_HANDLE_ERROR = 16,
    CG_INVALID_PROGRAM_HANDLE_ERROR = 17,
    CG_INVALID_EFFECT_HANDLE_ERROR = 18,
    CG_INVALID_TECHNIQUE_HANDLE_ERROR = 19,
    CG_INVALID_PASS_HANDLE_ERROR = 20,
    CG_INVALID_PARAM_HANDLE_ERROR = 21,
    CG_INVALID_TECHNIQUE_ERROR = 22,
};

constexpr CGbool CG_FALSE = 0;
constexpr CGbool CG_TRUE = 1;

// Context
CGcontext cgCreateContext();
void cgDestroyContext(CGcontext context);  // releases every program and effect made in it
const char* cgGetLastListing(CGcontext context);

// Errors: the last error since it was read (reading clears it), and its text.
CGerror cgGetError();
const char* cgGetErrorString(CGerror error);

// Programs
CGprogram cgCreateProgramFromFile(CGcontext context, CGenum programType, const char* file, CGprofile profile,
                                  const char* entry, const char** args);
CGparameter cgGetNamedParameter(CGprogram program, const char* name);

// Parameters, of programs and effects alike
void cgSetParameter1f(CGparameter parameter, float x);
void cgSetParameter2f(CGparameter parameter, float x, float y);
void cgSetParameter3f(CGparameter parameter, float x, float y, float z);
void cgSetParameter4f(CGparameter parameter, float x, float y, float z, float w);

// Effects
CGeffect cgCreateEffectFromFile(CGcontext context, const char* file, const char** args);
CGtechnique cgGetFirstTechnique(CGeffect effect);
CGtechnique cgGetNextTechnique(CGtechnique technique);
CGtechnique cgGetNamedTechnique(CGeffect effect, const char* name);
CGbool cgValidateTechnique(CGtechnique technique);
CGparameter cgGetNamedEffectParameter(CGeffect effect, const char* name);
CGpass cgGetFirstPass(CGtechnique technique);
void cgSetPassState(CGpass pass);    // applies the pass's render states and binds its programs
void cgResetPassState(CGpass pass);  // restores what the pass changed and releases its programs
