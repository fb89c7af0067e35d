// SPDX-License-Identifier: MIT
#include "water/CRenderTexture.h"

#include "camera/Projection.h"
#include "platform/MessageBox.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{
// The extension's entry points, in the order they are looked up. Only some are called, but a
// driver that lacks any of them does not offer the extension as a whole.
struct FramebufferEntryPoints
{
    PFNGLISRENDERBUFFEREXTPROC isRenderbuffer;
    PFNGLBINDRENDERBUFFEREXTPROC bindRenderbuffer;
    PFNGLDELETERENDERBUFFERSEXTPROC deleteRenderbuffers;
    PFNGLGENRENDERBUFFERSEXTPROC genRenderbuffers;
    PFNGLRENDERBUFFERSTORAGEEXTPROC renderbufferStorage;
    PFNGLGETRENDERBUFFERPARAMETERIVEXTPROC getRenderbufferParameteriv;
    PFNGLISFRAMEBUFFEREXTPROC isFramebuffer;
    PFNGLBINDFRAMEBUFFEREXTPROC bindFramebuffer;
    PFNGLDELETEFRAMEBUFFERSEXTPROC deleteFramebuffers;
    PFNGLGENFRAMEBUFFERSEXTPROC genFramebuffers;
    PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC checkFramebufferStatus;
    PFNGLFRAMEBUFFERTEXTURE1DEXTPROC framebufferTexture1D;
    PFNGLFRAMEBUFFERTEXTURE2DEXTPROC framebufferTexture2D;
    PFNGLFRAMEBUFFERTEXTURE3DEXTPROC framebufferTexture3D;
    PFNGLFRAMEBUFFERRENDERBUFFEREXTPROC framebufferRenderbuffer;
    PFNGLGETFRAMEBUFFERATTACHMENTPARAMETERIVEXTPROC getFramebufferAttachmentParameteriv;
    PFNGLGENERATEMIPMAPEXTPROC generateMipmap;
};

FramebufferEntryPoints fbo;
bool entryPointsLoaded = false;

template <typename Function>
bool LoadEntryPoint(Function& slot, const char* name)
{
    slot = reinterpret_cast<Function>(SDL_GL_GetProcAddress(name));
    return slot != nullptr;
}

// The status of a driver that cannot render to textures at all, as when the entry points are
// missing: both reflection and refraction need the target, so the program cannot go on.
constexpr int NoRenderTarget = -1;

[[noreturn]] void ExitWithWarning(const char* text)
{
    MessageBox(nullptr, text, "ERROR", MB_ICONWARNING);
    std::exit(NoRenderTarget);
}

// A refusal without a text of its own is said on the standard error, so that no refused target
// ends the program unexplained or as if it had run.
[[noreturn]] void ExitIncomplete(GLenum status, int width, int height)
{
    std::fprintf(stderr, "merrowind: the driver refuses the %d x %d render-to-texture target (status 0x%04X)\n",
                 width, height, static_cast<unsigned>(status));
    std::exit(NoRenderTarget);
}
}

void LoadFramebufferEntryPoints()
{
    bool found = true;
    found &= LoadEntryPoint(fbo.isRenderbuffer, "glIsRenderbufferEXT");
    found &= LoadEntryPoint(fbo.bindRenderbuffer, "glBindRenderbufferEXT");
    found &= LoadEntryPoint(fbo.deleteRenderbuffers, "glDeleteRenderbuffersEXT");
    found &= LoadEntryPoint(fbo.genRenderbuffers, "glGenRenderbuffersEXT");
    found &= LoadEntryPoint(fbo.renderbufferStorage, "glRenderbufferStorageEXT");
    found &= LoadEntryPoint(fbo.getRenderbufferParameteriv, "glGetRenderbufferParameterivEXT");
    found &= LoadEntryPoint(fbo.isFramebuffer, "glIsFramebufferEXT");
    found &= LoadEntryPoint(fbo.bindFramebuffer, "glBindFramebufferEXT");
    found &= LoadEntryPoint(fbo.deleteFramebuffers, "glDeleteFramebuffersEXT");
    found &= LoadEntryPoint(fbo.genFramebuffers, "glGenFramebuffersEXT");
    found &= LoadEntryPoint(fbo.checkFramebufferStatus, "glCheckFramebufferStatusEXT");
    found &= LoadEntryPoint(fbo.framebufferTexture1D, "glFramebufferTexture1DEXT");
    found &= LoadEntryPoint(fbo.framebufferTexture2D, "glFramebufferTexture2DEXT");
    found &= LoadEntryPoint(fbo.framebufferTexture3D, "glFramebufferTexture3DEXT");
    found &= LoadEntryPoint(fbo.framebufferRenderbuffer, "glFramebufferRenderbufferEXT");
    found &= LoadEntryPoint(fbo.getFramebufferAttachmentParameteriv, "glGetFramebufferAttachmentParameterivEXT");
    found &= LoadEntryPoint(fbo.generateMipmap, "glGenerateMipmapEXT");
    // The lookup hands out a stub for any name, so only the extension string tells what exists.
    if (!found || !epoxy_has_gl_extension("GL_EXT_framebuffer_object"))
        ExitWithWarning("One or more EXT_framebuffer_object functions were not found");
}

void CRenderTexture::Create(int width, int height)
{
    if (!entryPointsLoaded)
    {
        LoadFramebufferEntryPoints();
        entryPointsLoaded = true;
    }
    this->height = height;
    this->width = width;
    fbo.genFramebuffers(1, &framebuffer);
    fbo.genRenderbuffers(1, &depthBuffer);
    StoreDepth();
    const GLenum status = CheckWithStandInTexture();
    if (status == GL_FRAMEBUFFER_UNSUPPORTED_EXT)
        ExitWithWarning("GL_FRAMEBUFFER_UNSUPPORTED_EXT!");
    if (status != GL_FRAMEBUFFER_COMPLETE_EXT)
        ExitIncomplete(status, width, height);
}

bool CRenderTexture::Resize(int newWidth, int newHeight)
{
    width = newWidth;
    height = newHeight;
    StoreDepth();
    if (CheckWithStandInTexture() == GL_FRAMEBUFFER_COMPLETE_EXT)
        return true;
    MessageBox(nullptr,
               "The driver cannot draw the reflection and refraction images at " + std::to_string(width) + " x " +
                   std::to_string(height) + "; the water shows neither until they take another size.",
               "Water images not resized", MB_ICONWARNING);
    return false;
}

void CRenderTexture::StoreDepth() const
{
    fbo.bindRenderbuffer(GL_RENDERBUFFER_EXT, depthBuffer);
    fbo.renderbufferStorage(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, width, height);
}

// The real colour textures are made later, so the check renders into a stand-in of the same
// size and of the leaner of their two formats, then puts the bindings back as they were.
GLenum CRenderTexture::CheckWithStandInTexture() const
{
    GLint previousFramebuffer = 0;
    GLint previousTexture = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &previousFramebuffer);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previousTexture);

    GLuint standIn = 0;
    glGenTextures(1, &standIn);
    glBindTexture(GL_TEXTURE_2D, standIn);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    Bind(standIn);
    const GLenum status = fbo.checkFramebufferStatus(GL_FRAMEBUFFER_EXT);

    fbo.framebufferTexture2D(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, 0, 0);
    fbo.bindFramebuffer(GL_FRAMEBUFFER_EXT, static_cast<GLuint>(previousFramebuffer));
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previousTexture));
    glDeleteTextures(1, &standIn);
    return status;
}

void CRenderTexture::Bind(GLuint colourTexture) const
{
    fbo.bindFramebuffer(GL_FRAMEBUFFER_EXT, framebuffer);
    fbo.framebufferTexture2D(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, colourTexture, 0);
    fbo.framebufferRenderbuffer(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT, depthBuffer);
}

void CRenderTexture::SetupView(float aspectWidth, float aspectHeight, float red, float green, float blue) const
{
    glViewport(0, 0, width, height);
    glClearColor(red, green, blue, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    LoadPerspective(aspectWidth, aspectHeight);
    glMatrixMode(GL_MODELVIEW);
}

void CRenderTexture::Unbind() const
{
    fbo.bindFramebuffer(GL_FRAMEBUFFER_EXT, 0);
}

void CRenderTexture::Destroy(TextureUse textureUse)
{
    fbo.deleteFramebuffers(1, &framebuffer);
    fbo.deleteRenderbuffers(1, &depthBuffer);
    if (textureUse == DeleteTexture && texture != -1)
    {
        const GLuint name = static_cast<GLuint>(texture);
        glDeleteTextures(1, &name);
    }
}
