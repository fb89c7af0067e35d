// Conversions between the runtime's opaque handles and the classes behind them. A handle is the
// object's address; the handle types are never defined, so nothing can reach through them.
#pragma once

#include "shader/CShaderContext.h"
#include "shader/CShaderParameter.h"
#include "shader/CShaderProgram.h"
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
