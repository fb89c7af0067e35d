// SPDX-License-Identifier: MIT
#include "hdr/CMultisampleTarget.h"

#include <algorithm>

namespace
{
GLuint NewRenderbuffer(GLsizei samples, GLenum format, GLsizei width, GLsizei height)
{
    GLuint renderbuffer = 0;
    glGenRenderbuffers(1, &renderbuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, format, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    return renderbuffer;
}
}

CMultisampleTarget::~CMultisampleTarget()
{
    Destroy();
}

bool CMultisampleTarget::Create(int newWidth, int newHeight, int wantedSamples)
{
    Destroy();
    GLint offered = 0;
    glGetIntegerv(GL_MAX_SAMPLES, &offered);
    samples = std::min(wantedSamples, static_cast<int>(offered));
    if (samples < 2)
    {
        samples = 0;
        return false;
    }
    width = newWidth;
    height = newHeight;
    colour = NewRenderbuffer(samples, GL_RGB16F, width, height);
    depth = NewRenderbuffer(samples, GL_DEPTH_COMPONENT24, width, height);
    GLint bound = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    glGenFramebuffers(1, &frameBuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(bound));
    if (!complete)
        Destroy();
    return complete;
}

void CMultisampleTarget::Destroy()
{
    if (frameBuffer == 0)
        return;
    glDeleteFramebuffers(1, &frameBuffer);
    glDeleteRenderbuffers(1, &colour);
    glDeleteRenderbuffers(1, &depth);
    frameBuffer = colour = depth = 0;
    width = height = samples = 0;
}

void CMultisampleTarget::BindAndClear()
{
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &resolvedInto);
    glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void CMultisampleTarget::Resolve()
{
    glBindFramebuffer(GL_READ_FRAMEBUFFER, frameBuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(resolvedInto));
    glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(resolvedInto));
}
