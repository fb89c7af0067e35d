// SPDX-License-Identifier: MIT
#include "hdr/FrameBufferBinding.h"

#include "platform/MessageBox.h"

void ReportRepeatedBind(const char* operation)
{
    MessageBox(nullptr, operation, "Buffer has not been unbound before it was binded again!", MB_OK);
}

void BindSavingState(GLuint frameBuffer, int width, int height, GLint& savedFrameBuffer, GLint (&savedViewport)[4])
{
    glGetIntegerv(GL_VIEWPORT, savedViewport);
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &savedFrameBuffer);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, frameBuffer);
    glViewport(0, 0, width, height);
}

void RestoreSavedState(GLint& savedFrameBuffer, GLint (&savedViewport)[4])
{
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, static_cast<GLuint>(savedFrameBuffer));
    glViewport(savedViewport[0], savedViewport[1], savedViewport[2], savedViewport[3]);
    savedFrameBuffer = 0;
    for (GLint& value : savedViewport)
        value = 0;
}

GLbitfield ClearMask(bool hasColor, bool hasDepth, bool hasStencil)
{
    GLbitfield mask = 0;
    if (hasColor)
        mask |= GL_COLOR_BUFFER_BIT;
    if (hasDepth)
        mask |= GL_DEPTH_BUFFER_BIT;
    if (hasStencil)
        mask |= GL_STENCIL_BUFFER_BIT;
    return mask;
}
