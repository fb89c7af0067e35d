// SPDX-License-Identifier: MIT
#include "hdr/CFrameBuffer.h"
#include "hdr/CFrameBufferReal.h"
#include "GlContext.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace
{
using Viewport = std::array<GLint, 4>;

GLint BoundFrameBuffer()
{
    GLint binding = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &binding);
    return binding;
}

Viewport CurrentViewport()
{
    Viewport viewport{};
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    return viewport;
}

void MakeColorTarget(CFrameBuffer& target, int width, int height)
{
    target.CreateBuffer(GL_TEXTURE_2D, width, height);
    target.CreateColorBuffer(GL_RGBA8, GL_CLAMP, CFrameBuffer::FilterNearest);
    target.FinalizeBuffer();
}

std::vector<float> ReadColorTexture(GLuint texture, int width, int height)
{
    std::vector<float> texels(static_cast<size_t>(width) * height * 4);
    WaitForRendering();
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return texels;
}

class FrameBuffer : public GlTest
{
};
}

TEST_F(FrameBuffer, RepeatedBindIsReportedOnceAndOneUnbindRestoresTheFirstCallersState)
{
    CFrameBuffer target;
    MakeColorTarget(target, 32, 16);
    glViewport(1, 2, 30, 40);

    target.BindBuffer();
    target.BindBuffer();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "CFrameBuffer::BindBuffer");
    EXPECT_EQ(boxes[0].caption, "Buffer has not been unbound before it was binded again!");
    EXPECT_EQ(boxes[0].style, MB_OK);
    EXPECT_NE(BoundFrameBuffer(), 0);
    EXPECT_EQ(CurrentViewport(), (Viewport{0, 0, 32, 16}));

    target.UnbindBuffer();
    EXPECT_EQ(BoundFrameBuffer(), 0);
    EXPECT_EQ(CurrentViewport(), (Viewport{1, 2, 30, 40}));

    glViewport(5, 6, 7, 8);
    target.UnbindBuffer();
    EXPECT_EQ(CurrentViewport(), (Viewport{5, 6, 7, 8}));
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_NO_GL_ERROR();
}

TEST_F(FrameBuffer, NestedBindingsUnwindToEachCallersBindingAndViewport)
{
    CFrameBuffer outer;
    CFrameBuffer inner;
    CFrameBufferReal window;
    MakeColorTarget(outer, 64, 32);
    MakeColorTarget(inner, 8, 4);
    window.CreateBuffer(640, 480);
    glViewport(3, 3, 100, 100);

    outer.BindBuffer();
    const GLint outerName = BoundFrameBuffer();
    inner.BindBuffer();
    EXPECT_NE(BoundFrameBuffer(), outerName);
    window.BindBuffer();
    EXPECT_EQ(BoundFrameBuffer(), 0);
    EXPECT_EQ(CurrentViewport(), (Viewport{0, 0, 640, 480}));

    window.UnbindBuffer();
    inner.UnbindBuffer();
    EXPECT_EQ(BoundFrameBuffer(), outerName);
    EXPECT_EQ(CurrentViewport(), (Viewport{0, 0, 64, 32}));

    outer.UnbindBuffer();
    EXPECT_EQ(BoundFrameBuffer(), 0);
    EXPECT_EQ(CurrentViewport(), (Viewport{3, 3, 100, 100}));
    EXPECT_TRUE(boxes.empty());
    EXPECT_NO_GL_ERROR();
}

TEST_F(FrameBuffer, DepthOnlyTargetIsCompleteWithoutColourReadOrDrawBuffer)
{
    CFrameBuffer target;
    target.CreateBuffer(GL_TEXTURE_2D, 16, 16);
    EXPECT_TRUE(target.CreateDepthBuffer(GL_DEPTH_COMPONENT24, GL_CLAMP, CFrameBuffer::FilterNearest));
    EXPECT_EQ(target.GetDepthFormat(), GL_DEPTH_COMPONENT24);
    EXPECT_TRUE(target.FinalizeBuffer());

    target.BindBuffer();
    GLint readBuffer = -1;
    GLint drawBuffer = -1;
    glGetIntegerv(GL_READ_BUFFER, &readBuffer);
    glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
    target.UnbindBuffer();
    EXPECT_EQ(readBuffer, GL_NONE);
    EXPECT_EQ(drawBuffer, GL_NONE);
    EXPECT_NE(target.GetDepthTexture(), 0u);
    EXPECT_TRUE(boxes.empty());
    EXPECT_NO_GL_ERROR();
}

TEST_F(FrameBuffer, AskingForAMissingTextureIsReportedAndGivesNoTexture)
{
    CFrameBuffer colorOnly;
    CFrameBuffer depthOnly;
    MakeColorTarget(colorOnly, 4, 4);
    depthOnly.CreateBuffer(GL_TEXTURE_2D, 4, 4);
    depthOnly.CreateDepthBuffer(GL_DEPTH_COMPONENT24, GL_CLAMP, CFrameBuffer::FilterNearest);

    EXPECT_EQ(colorOnly.GetDepthTexture(), 0u);
    EXPECT_EQ(depthOnly.GetColorTexture(), 0u);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "CFrameBuffer::GetDepthTexture");
    EXPECT_EQ(boxes[0].caption, " Try to bind non depth/+stencil framebuffer as depth texture");
    EXPECT_EQ(boxes[1].text, "CFrameBuffer::GetColorTexture");
    EXPECT_EQ(boxes[1].caption, " Try to bind non color framebuffer as color texture");
    EXPECT_NO_GL_ERROR();
}

TEST_F(FrameBuffer, RefusedTexturesAreReportedAndLeaveNothingAttached)
{
    CFrameBuffer target;
    target.CreateBuffer(GL_TEXTURE_2D, 4, 4);
    EXPECT_FALSE(target.CreateColorBuffer(GL_DEPTH_COMPONENT24, GL_CLAMP, CFrameBuffer::FilterNearest));
    EXPECT_FALSE(target.CreateDepthBuffer(GL_RGBA8, GL_CLAMP, CFrameBuffer::FilterNearest));
    EXPECT_FALSE(target.FinalizeBuffer());

    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, "CFrameBuffer::CreateColorBuffer");
    EXPECT_EQ(boxes[0].caption, "Cant create color texture");
    EXPECT_EQ(boxes[1].text, "CFrameBuffer::CreateDepthBuffer");
    EXPECT_EQ(boxes[1].caption, "Cant create depth texture");
    EXPECT_EQ(boxes[2].text, "CFrameBuffer::FinalizeBuffer");
    EXPECT_EQ(boxes[2].caption, "FBO: missing attachment");
    EXPECT_EQ(BoundFrameBuffer(), 0);
    EXPECT_NO_GL_ERROR();
}

// An error that an earlier call left behind belongs to that call: a target whose own allocations
// succeed is made without a word.
TEST_F(FrameBuffer, AnEarlierCallsGlErrorIsNotTakenForTheTargetsOwn)
{
    CFrameBuffer target;
    target.CreateBuffer(GL_TEXTURE_2D, 4, 4);
    glEnable(GL_INVALID_ENUM);  // leaves GL_INVALID_ENUM raised
    EXPECT_TRUE(target.CreateColorBuffer(GL_RGBA8, GL_CLAMP, CFrameBuffer::FilterNearest));
    glEnable(GL_INVALID_ENUM);
    EXPECT_TRUE(target.CreateDepthBuffer(GL_DEPTH_COMPONENT24, GL_CLAMP, CFrameBuffer::FilterNearest));
    EXPECT_TRUE(target.FinalizeBuffer());
    EXPECT_TRUE(boxes.empty());
    EXPECT_NO_GL_ERROR();
}

TEST_F(FrameBuffer, ClearBufferClearsExactlyTheAttachmentsTheTargetHas)
{
    CFrameBuffer colorAndDepth;
    colorAndDepth.CreateBuffer(GL_TEXTURE_2D, 4, 4);
    colorAndDepth.CreateColorBuffer(GL_RGBA8, GL_CLAMP, CFrameBuffer::FilterNearest);
    colorAndDepth.CreateDepthBuffer(GL_DEPTH_COMPONENT24, GL_CLAMP, CFrameBuffer::FilterNearest);
    CFrameBuffer depthStencil;
    depthStencil.CreateBuffer(GL_TEXTURE_2D, 4, 4);
    depthStencil.CreateDepthStencilBuffer(GL_DEPTH24_STENCIL8_EXT, GL_CLAMP, CFrameBuffer::FilterNearest);
    ASSERT_TRUE(colorAndDepth.FinalizeBuffer());
    ASSERT_TRUE(depthStencil.FinalizeBuffer());

    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClearDepth(0.25);
    glClearStencil(0x5A);
    colorAndDepth.BindBuffer();
    colorAndDepth.ClearBuffer();
    colorAndDepth.UnbindBuffer();
    depthStencil.BindBuffer();
    depthStencil.ClearBuffer();
    depthStencil.UnbindBuffer();

    const std::vector<float> color = ReadColorTexture(colorAndDepth.GetColorTexture(), 4, 4);
    EXPECT_EQ(color[0], 1.0f);
    EXPECT_EQ(color[1], 0.0f);
    std::vector<float> depth(16);
    glBindTexture(GL_TEXTURE_2D, colorAndDepth.GetDepthTexture());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    EXPECT_NEAR(depth[15], 0.25f, 1e-6f);
    std::vector<GLuint> packed(16);
    glBindTexture(GL_TEXTURE_2D, depthStencil.GetDepthTexture());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_STENCIL_EXT, GL_UNSIGNED_INT_24_8_EXT, packed.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(packed[5] & 0xFFu, 0x5Au);
    EXPECT_NEAR((packed[5] >> 8) / 16777215.0, 0.25, 1e-6);
    glClearDepth(1.0);
    glClearStencil(0);
    EXPECT_TRUE(boxes.empty());
    EXPECT_NO_GL_ERROR();
}

TEST_F(FrameBuffer, DestroyReleasesEverythingOnceAndThenTouchesNoState)
{
    CFrameBuffer target;
    MakeColorTarget(target, 8, 8);
    const GLuint texture = target.GetColorTexture();
    target.BindBuffer();
    target.DestroyBuffer();
    EXPECT_EQ(BoundFrameBuffer(), 0);
    EXPECT_FALSE(glIsTexture(texture));
    EXPECT_EQ(target.GetWidth(), 0);

    CFrameBuffer other;
    MakeColorTarget(other, 4, 4);
    other.BindBuffer();
    const GLint otherName = BoundFrameBuffer();
    glViewport(1, 1, 2, 2);
    target.DestroyBuffer();
    EXPECT_EQ(BoundFrameBuffer(), otherName);
    EXPECT_EQ(CurrentViewport(), (Viewport{1, 1, 2, 2}));
    other.UnbindBuffer();
    EXPECT_TRUE(boxes.empty());
    EXPECT_NO_GL_ERROR();
}
