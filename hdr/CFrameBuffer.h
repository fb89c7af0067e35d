// SPDX-License-Identifier: MIT
// A texture-backed framebuffer object: a colour texture and/or a depth (or depth-stencil) texture
// attached, so that what is drawn into it can be sampled afterwards as an ordinary texture. It
// owns its framebuffer object and textures; callers only borrow the texture names.
#pragma once

#include "hdr/IFrameBuffer.h"

class CFrameBuffer : public IFrameBuffer
{
public:
    // Texture filter modes of the three texture operations.
    enum Filter
    {
        FilterNearest = 0,
        FilterLinear = 1,
        FilterMipmapped = 2,
    };

    CFrameBuffer() = default;
    ~CFrameBuffer() override;
    CFrameBuffer(const CFrameBuffer&) = delete;
    CFrameBuffer& operator=(const CFrameBuffer&) = delete;

    // Use in this order: CreateBuffer, one or more of the texture operations, FinalizeBuffer;
    // then bind, clear, draw and unbind as often as needed; DestroyBuffer while the context lives.
    bool CreateBuffer(GLenum target, int width, int height);
    bool CreateColorBuffer(GLint internalFormat, GLint wrap, int filter);
    // A refused GL_DEPTH_COMPONENT24 falls back to GL_DEPTH_COMPONENT16, with a warning box.
    bool CreateDepthBuffer(GLint internalFormat, GLint wrap, int filter);
    bool CreateDepthStencilBuffer(GLint internalFormat, GLint wrap, int filter);
    // True when the framebuffer is complete; otherwise a box names what is wrong.
    bool FinalizeBuffer();
    // Releases every GL object and returns to the constructed state; on an empty object it
    // makes no GL call.
    bool DestroyBuffer();
    // Gives the textures a new size, with the same names and formats, so that the names others
    // have borrowed stay valid; true when the framebuffer is complete at that size. Not while bound.
    bool Resize(int newWidth, int newHeight);

    void ClearBuffer() override;
    void BindBuffer() override;
    void UnbindBuffer() override;
    GLuint GetColorTexture() override;
    GLuint GetDepthTexture() override;
    int GetWidth() override { return width; }
    int GetHeight() override { return height; }

    // The internal format the depth texture was created with, after any fallback.
    GLint GetDepthFormat() const { return depthFormat; }

private:
    GLuint NewTexture(GLint wrap, int filter) const;
    bool Upload(GLint internalFormat, GLenum format, GLenum type) const;
    bool UploadDepth(GLint internalFormat) const;
    bool UploadDepthStencil(GLint internalFormat) const;
    bool DiscardTexture(GLuint& texture, const char* operation, const char* complaint) const;
    void Attach(GLenum attachment, GLuint texture);

    int width = 0;
    int height = 0;
    GLuint frameBuffer = 0;
    GLuint colorTexture = 0;
    GLuint depthTexture = 0;
    GLenum textureTarget = 0;
    GLint colorFormat = 0;
    GLint depthFormat = 0;
    GLint savedFrameBuffer = 0;
    GLint savedViewport[4] = {0, 0, 0, 0};
    bool hasColor = false;
    bool hasDepth = false;
    bool hasStencil = false;
    bool isBound = false;
};
