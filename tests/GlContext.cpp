// SPDX-License-Identifier: MIT
#include "GlContext.h"

#include "platform/CWindow.h"

#include <SDL.h>

#include <cstdlib>

namespace
{
LRESULT IgnoreMessages(std::uint32_t, WPARAM, LPARAM)
{
    return 0;
}

void EnsureContext()
{
    static CWindow window;
    if (window.Handle() != nullptr)
        return;
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    ASSERT_TRUE(window.Create("Merrowind tests", 0, 0, 640, 480, IgnoreMessages)) << SDL_GetError();
    window.CreateContext();
}
}

void GlTest::SetUp()
{
    EnsureContext();
    SetMessageBoxSink([this](const MessageBoxRecord& box) { boxes.push_back(box); });
    while (glGetError() != GL_NO_ERROR)
    {
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, 640, 480);
}

void GlTest::TearDown()
{
    SetMessageBoxSink(nullptr);
}

void WaitForRendering()
{
    glFinish();
}

void DrawClipSpaceQuad()
{
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(-1.0f, -1.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(1.0f, -1.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(-1.0f, 1.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(1.0f, 1.0f);
    glEnd();
}

std::vector<unsigned char> GlTest::ReadPixels(int x, int y, int width, int height)
{
    WaitForRendering();
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}
