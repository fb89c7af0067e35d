// SPDX-License-Identifier: MIT
// An off-screen or on-screen render target behind one interface: binding saves the caller's
// framebuffer binding and viewport and unbinding restores them, so passes nest without tracking
// that state themselves.
#pragma once

#include <epoxy/gl.h>

class IFrameBuffer
{
public:
    virtual ~IFrameBuffer() = default;

    // Clears the attachments the target has; the caller binds first and sets the clear values.
    virtual void ClearBuffer() = 0;
    virtual void BindBuffer() = 0;
    virtual void UnbindBuffer() = 0;
    virtual GLuint GetColorTexture() = 0;
    virtual GLuint GetDepthTexture() = 0;
    virtual int GetWidth() = 0;
    virtual int GetHeight() = 0;
};
