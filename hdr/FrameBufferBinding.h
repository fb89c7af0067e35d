// SPDX-License-Identifier: MIT
// The bind/unbind bookkeeping that every framebuffer target shares: the caller's framebuffer
// binding and viewport are saved on binding and given back on unbinding.
#pragma once

#include <epoxy/gl.h>

// Shows the box for a target bound again before it was unbound; `operation` names the method.
void ReportRepeatedBind(const char* operation);

// Saves the caller's viewport and binding, then binds `frameBuffer` with a viewport of its size.
void BindSavingState(GLuint frameBuffer, int width, int height, GLint& savedFrameBuffer, GLint (&savedViewport)[4]);

// Binds and sets what was saved, then forgets it.
void RestoreSavedState(GLint& savedFrameBuffer, GLint (&savedViewport)[4]);

GLbitfield ClearMask(bool hasColor, bool hasDepth, bool hasStencil);
