// SPDX-License-Identifier: MIT
#include "hdr/CFrameBuffer.h"

#include "hdr/FrameBufferBinding.h"
#include "platform/MessageBox.h"

namespace
{
// The driver keeps one error flag per kind until it is read; taking them all leaves only what
// the next calls raise.
void TakeEarlierGlErrors()
{
    for (int kind = 0; kind < 8; ++kind)
        if (glGetError() == GL_NO_ERROR)
            return;
}

// Older headers lack this status; drivers that know it still return it.
constexpr GLenum FRAMEBUFFER_INCOMPLETE_DUPLICATE_ATTACHMENT_EXT = 0x8CD8;

struct FilterParameters
{
    GLint magnification;
    GLint minification;
    GLint generateMipmap;
};

const FilterParameters Filters[] = {
    {GL_NEAREST, GL_NEAREST, GL_FALSE},
    {GL_LINEAR, GL_LINEAR, GL_FALSE},
    {GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR, GL_TRUE},
};

struct StatusComplaint
{
    GLenum status;
    const char* caption;
};

const StatusComplaint IncompleteStatuses[] = {
    {GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT_EXT, "FBO: incomplete attachment"},
    {GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT_EXT, "FBO: missing attachment"},
    {FRAMEBUFFER_INCOMPLETE_DUPLICATE_ATTACHMENT_EXT, "FBO: duplicate attachment"},
    {GL_FRAMEBUFFER_INCOMPLETE_DIMENSIONS_EXT, "FBO: wrong dimensions"},
    {GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER_EXT, "FBO: missing draw buffer"},
    {GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER_EXT, "FBO: missing read buffer"},
    {GL_FRAMEBUFFER_UNSUPPORTED_EXT, "FBO: unsupported framebuffer"},
};

void Report(const char* operation, const char* complaint)
{
    MessageBox(nullptr, operation, complaint, MB_OK);
}
}

CFrameBuffer::~CFrameBuffer()
{
    DestroyBuffer();
}

bool CFrameBuffer::CreateBuffer(GLenum target, int bufferWidth, int bufferHeight)
{
    glGenFramebuffersEXT(1, &frameBuffer);
    // A generated name becomes a framebuffer object only once it has been bound.
    BindBuffer();
    UnbindBuffer();
    width = bufferWidth;
    height = bufferHeight;
    textureTarget = target;
    return true;
}

bool CFrameBuffer::CreateColorBuffer(GLint internalFormat, GLint wrap, int filter)
{
    colorTexture = NewTexture(wrap, filter);
    if (!Upload(internalFormat, GL_RGBA, GL_UNSIGNED_BYTE))
        return DiscardTexture(colorTexture, "CFrameBuffer::CreateColorBuffer", "Cant create color texture");
    glBindTexture(textureTarget, 0);
    Attach(GL_COLOR_ATTACHMENT0_EXT, colorTexture);
    colorFormat = internalFormat;
    hasColor = true;
    return true;
}

bool CFrameBuffer::CreateDepthBuffer(GLint internalFormat, GLint wrap, int filter)
{
    depthTexture = NewTexture(wrap, filter);
    GLint format = internalFormat;
    bool uploaded = UploadDepth(format);
    if (!uploaded && format == GL_DEPTH_COMPONENT24)
    {
        format = GL_DEPTH_COMPONENT16;
        uploaded = UploadDepth(format);
        if (uploaded)
            Report("CFrameBuffer::CreateDepthBuffer", "24-bit depth buffer unsupported, using 16-bit instead");
    }
    if (!uploaded)
        return DiscardTexture(depthTexture, "CFrameBuffer::CreateDepthBuffer", "Cant create depth texture");
    glBindTexture(textureTarget, 0);
    Attach(GL_DEPTH_ATTACHMENT_EXT, depthTexture);
    depthFormat = format;
    hasDepth = true;
    return true;
}

bool CFrameBuffer::CreateDepthStencilBuffer(GLint internalFormat, GLint wrap, int filter)
{
    depthTexture = NewTexture(wrap, filter);
    if (!UploadDepthStencil(internalFormat))
        return DiscardTexture(depthTexture, "CFrameBuffer::CreateDepthStencilBuffer",
                              "Cant create depthstencil texture");
    glBindTexture(textureTarget, 0);
    Attach(GL_DEPTH_ATTACHMENT_EXT, depthTexture);
    Attach(GL_STENCIL_ATTACHMENT_EXT, depthTexture);
    depthFormat = internalFormat;
    hasDepth = true;
    hasStencil = true;
    return true;
}

bool CFrameBuffer::FinalizeBuffer()
{
    BindBuffer();
    if (!hasColor)
    {
        // A framebuffer without colour is complete only when it neither reads nor draws colour.
        glReadBuffer(GL_NONE);
        glDrawBuffer(GL_NONE);
    }
    const GLenum status = glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT);
    UnbindBuffer();
    for (const StatusComplaint& incomplete : IncompleteStatuses)
    {
        if (status == incomplete.status)
        {
            Report("CFrameBuffer::FinalizeBuffer", incomplete.caption);
            return false;
        }
    }
    return true;
}

bool CFrameBuffer::DestroyBuffer()
{
    UnbindBuffer();
    if (colorTexture != 0)
        glDeleteTextures(1, &colorTexture);
    if (depthTexture != 0)
        glDeleteTextures(1, &depthTexture);
    if (frameBuffer != 0)
        glDeleteFramebuffersEXT(1, &frameBuffer);
    width = 0;
    height = 0;
    frameBuffer = 0;
    colorTexture = 0;
    depthTexture = 0;
    textureTarget = 0;
    colorFormat = 0;
    depthFormat = 0;
    hasColor = false;
    hasDepth = false;
    hasStencil = false;
    return true;
}

bool CFrameBuffer::Resize(int newWidth, int newHeight)
{
    width = newWidth;
    height = newHeight;
    bool uploaded = true;
    if (hasColor)
    {
        glBindTexture(textureTarget, colorTexture);
        uploaded = Upload(colorFormat, GL_RGBA, GL_UNSIGNED_BYTE);
    }
    if (hasDepth)
    {
        glBindTexture(textureTarget, depthTexture);
        uploaded = (hasStencil ? UploadDepthStencil(depthFormat) : UploadDepth(depthFormat)) && uploaded;
    }
    glBindTexture(textureTarget, 0);
    if (!uploaded)
        Report("CFrameBuffer::Resize", "Cant resize texture");
    return uploaded && FinalizeBuffer();
}

void CFrameBuffer::ClearBuffer()
{
    glClear(ClearMask(hasColor, hasDepth, hasStencil));
}

void CFrameBuffer::BindBuffer()
{
    if (isBound)
    {
        ReportRepeatedBind("CFrameBuffer::BindBuffer");
        return;
    }
    BindSavingState(frameBuffer, width, height, savedFrameBuffer, savedViewport);
    isBound = true;
}

void CFrameBuffer::UnbindBuffer()
{
    if (!isBound)
        return;
    RestoreSavedState(savedFrameBuffer, savedViewport);
    isBound = false;
}

GLuint CFrameBuffer::GetColorTexture()
{
    if (hasColor)
        return colorTexture;
    Report("CFrameBuffer::GetColorTexture", " Try to bind non color framebuffer as color texture");
    return 0;
}

GLuint CFrameBuffer::GetDepthTexture()
{
    if (hasDepth)
        return depthTexture;
    Report("CFrameBuffer::GetDepthTexture", " Try to bind non depth/+stencil framebuffer as depth texture");
    return 0;
}

// Leaves the new texture bound, with its filter and wrap parameters set.
GLuint CFrameBuffer::NewTexture(GLint wrap, int filter) const
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(textureTarget, texture);
    if (filter >= FilterNearest && filter <= FilterMipmapped)
    {
        glTexParameteri(textureTarget, GL_TEXTURE_MAG_FILTER, Filters[filter].magnification);
        glTexParameteri(textureTarget, GL_TEXTURE_MIN_FILTER, Filters[filter].minification);
        glTexParameteri(textureTarget, GL_GENERATE_MIPMAP, Filters[filter].generateMipmap);
    }
    glTexParameteri(textureTarget, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(textureTarget, GL_TEXTURE_WRAP_T, wrap);
    return texture;
}

// Allocates the bound texture at the target's size; false when the driver refused it. Errors
// that earlier calls left behind are taken first (the driver keeps one per kind), so that only
// this allocation is judged and a failure elsewhere is not reported again as this one.
bool CFrameBuffer::Upload(GLint internalFormat, GLenum format, GLenum type) const
{
    TakeEarlierGlErrors();
    glTexImage2D(textureTarget, 0, internalFormat, width, height, 0, format, type, nullptr);
    return glGetError() == GL_NO_ERROR;
}

bool CFrameBuffer::UploadDepth(GLint internalFormat) const
{
    return Upload(internalFormat, GL_DEPTH_COMPONENT, GL_UNSIGNED_BYTE);
}

bool CFrameBuffer::UploadDepthStencil(GLint internalFormat) const
{
    return Upload(internalFormat, GL_DEPTH_STENCIL_EXT, GL_UNSIGNED_INT_24_8_EXT);
}

bool CFrameBuffer::DiscardTexture(GLuint& texture, const char* operation, const char* complaint) const
{
    Report(operation, complaint);
    glDeleteTextures(1, &texture);
    texture = 0;
    glBindTexture(textureTarget, 0);
    return false;
}

void CFrameBuffer::Attach(GLenum attachment, GLuint texture)
{
    BindBuffer();
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, attachment, textureTarget, texture, 0);
    UnbindBuffer();
}
