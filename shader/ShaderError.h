// SPDX-License-Identifier: MIT
// The runtime's last error: set where an operation fails, read (and cleared) by cgGetError.
#pragma once

#include "shader/Cg.h"

void RaiseShaderError(CGerror error);
CGerror TakeShaderError();
const char* ShaderErrorString(CGerror error);
