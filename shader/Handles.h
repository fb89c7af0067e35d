// SPDX-License-Identifier: MIT
// Conversions between the runtime's opaque handles and the classes behind them. A handle is the
// object's address; the handle types are never defined, so nothing can reach through them.
#pragma once

#include "shader/CEffect.h"
#include "shader/CPass.h"
#include "shader/CShaderContext.h"
#include "shader/CShaderParameter.h"
#include "shader/CShaderProgram.h"
#include "shader/CTechnique.h"
#include "shader/Cg.h"

inline CShaderContext* FromHandle(CGcontext context)
{
    return reinterpret_cast<CShaderContext*>(context);
}

inline CGcontext ToHandle(CShaderContext* context)
{
    return reinterpret_cast<CGcontext>(context);
}

inline CShaderProgram* FromHandle(CGprogram program)
{
    return reinterpret_cast<CShaderProgram*>(program);
}

inline CGprogram ToHandle(CShaderProgram* program)
{
    return reinterpret_cast<CGprogram>(program);
}

inline CShaderParameter* FromHandle(CGparameter parameter)
{
    return reinterpret_cast<CShaderParameter*>(parameter);
}

inline CGparameter ToHandle(CShaderParameter* parameter)
{
    return reinterpret_cast<CGparameter>(parameter);
}

inline CEffect* FromHandle(CGeffect effect)
{
    return reinterpret_cast<CEffect*>(effect);
}

inline CGeffect ToHandle(CEffect* effect)
{
    return reinterpret_cast<CGeffect>(effect);
}

inline CTechnique* FromHandle(CGtechnique technique)
{
    return reinterpret_cast<CTechnique*>(technique);
}

inline CGtechnique ToHandle(CTechnique* technique)
{
    return reinterpret_cast<CGtechnique>(technique);
}

inline CPass* FromHandle(CGpass pass)
{
    return reinterpret_cast<CPass*>(pass);
}

inline CGpass ToHandle(CPass* pass)
{
    return reinterpret_cast<CGpass>(pass);
}
