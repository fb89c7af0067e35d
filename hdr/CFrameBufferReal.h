// SPDX-License-Identifier: MIT
// The window's own framebuffer (name 0) behind the framebuffer interface, so that code written
// against IFrameBuffer can draw to the screen with the same save-and-restore binding.
#pragma once

#include "hdr/IFrameBuffer.h"

class CFrameBufferReal : public IFrameBuffer
{
public:
    // Records the size that binding sets as the viewport.
    bool CreateBuffer(int width, int height);

    void ClearBuffer() override;
    void BindBuffer() override;
    void UnbindBuffer() override;
    // The window's buffers cannot be sampled: both are always 0.
    GLuint GetColorTexture() override { return 0; }
    GLuint GetDepthTexture() override { return 0; }
    int GetWidth() override { return width; }
    int GetHeight() override { return height; }

private:
    int width = 0;
    int height = 0;
    GLint savedFrameBuffer = 0;
    GLint savedViewport[4] = {0, 0, 0, 0};
    // Never set: the window's attachments are not this object's to clear.
    bool hasColor = false;
    bool hasDepth = false;
    bool hasStencil = false;
    bool isBound = false;
};
