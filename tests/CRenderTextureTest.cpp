// SPDX-License-Identifier: MIT
// The off-screen target on a real context: two colour textures taking turns in one framebuffer,
// the view it sets up, and the two ways it ends the process.
#include "GlContext.h"

#include "water/CRenderTexture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace
{
constexpr int TargetSize = 1024;
using Texel = std::vector<unsigned char>;

GLuint MakeColourTexture(GLenum format)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, format, TargetSize, TargetSize, 0, format, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

Texel TexelOf(GLuint texture, int x, int y, int size = TargetSize)
{
    std::vector<unsigned char> texels(static_cast<size_t>(size) * size * 4);
    WaitForRendering();
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    const auto first = texels.begin() + (static_cast<long>(y) * size + x) * 4;
    return {first, first + 4};
}

GLint Integer(GLenum name)
{
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

GLint Attached(GLenum attachment)
{
    GLint name = 0;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, attachment, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &name);
    return name;
}
}

class WaterTarget : public GlTest
{
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        target.Create(TargetSize, TargetSize);
        reflection = MakeColourTexture(GL_RGB);
        refraction = MakeColourTexture(GL_RGBA);
    }

    void TearDown() override
    {
        glDeleteTextures(1, &reflection);
        glDeleteTextures(1, &refraction);
        target.Destroy(CRenderTexture::KeepTexture);
        GlTest::TearDown();
    }

    CRenderTexture target;
    GLuint reflection = 0;
    GLuint refraction = 0;
};

TEST_F(WaterTarget, TheTwoTexturesTakeTurnsInOneFramebufferWithOneDepthBuffer)
{
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(Integer(GL_FRAMEBUFFER_BINDING), 0);

    target.Bind(reflection);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    target.Bind(refraction);
    EXPECT_EQ(Integer(GL_FRAMEBUFFER_BINDING), static_cast<GLint>(target.framebuffer));
    EXPECT_EQ(Attached(GL_COLOR_ATTACHMENT0), static_cast<GLint>(refraction));
    EXPECT_EQ(Attached(GL_DEPTH_ATTACHMENT), static_cast<GLint>(target.depthBuffer));
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    target.Unbind();

    EXPECT_EQ(Integer(GL_FRAMEBUFFER_BINDING), 0);
    EXPECT_EQ(TexelOf(reflection, 700, 300), (Texel{255, 0, 0, 255}));
    EXPECT_EQ(TexelOf(refraction, 700, 300), (Texel{0, 255, 0, 255}));
    EXPECT_NO_GL_ERROR();
}

// A size past what the driver renders into is said in a box, and the next size it takes works.
TEST_F(WaterTarget, ASizeTheDriverRefusesIsSaidAndTheNextSizeWorksAgain)
{
    const int refused = 2 * std::max(Integer(GL_MAX_RENDERBUFFER_SIZE), Integer(GL_MAX_TEXTURE_SIZE));
    EXPECT_FALSE(target.Resize(refused, refused));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Water images not resized");
    EXPECT_NE(boxes[0].text.find(std::to_string(refused) + " x " + std::to_string(refused)), std::string::npos)
        << boxes[0].text;
    while (glGetError() != GL_NO_ERROR)
    {
    }
    EXPECT_TRUE(target.Resize(TargetSize, TargetSize));
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_NO_GL_ERROR();
}

// At its first size and after a window has resized it (its colour texture with it): the depth
// buffer must follow, or drawing stops at the smaller of the two.
TEST_F(WaterTarget, SetupViewClearsTheWholeTargetWithTheWindowsAspect)
{
    for (int size : {TargetSize, 2 * TargetSize})
    {
        if (size != TargetSize)
        {
            target.Resize(size, size);
            glBindTexture(GL_TEXTURE_2D, reflection);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, size, size, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
            glBindTexture(GL_TEXTURE_2D, 0);
        }
        target.Bind(reflection);
        glEnable(GL_DEPTH_TEST);
        target.SetupView(640.0f, 480.0f, 1.0f, 1.0f, 1.0f);
        GLint viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        GLfloat projection[16] = {};
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        // A red quad over the whole target, passing the depth test only where depth was cleared.
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glColor3f(1.0f, 0.0f, 0.0f);
        glRectf(-1.0f, -1.0f, 1.0f, 1.0f);
        glColor3f(1.0f, 1.0f, 1.0f);
        glDisable(GL_DEPTH_TEST);
        target.Unbind();

        EXPECT_EQ(viewport[2], size);
        EXPECT_EQ(viewport[3], size);
        EXPECT_NEAR(projection[5] / projection[0], 640.0f / 480.0f, 1e-5f);
        EXPECT_EQ(TexelOf(reflection, 0, 0, size), (Texel{255, 0, 0, 255})) << size;
        EXPECT_EQ(TexelOf(reflection, size - 1, size - 1, size), (Texel{255, 0, 0, 255})) << size;
    }
    EXPECT_NO_GL_ERROR();
}

class WaterTargetDeathTest : public GlTest
{
protected:
    // Each case runs in a fresh process with a context of its own; boxes go to its stderr.
    void SetUp() override
    {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        GlTest::SetUp();
        SetMessageBoxSink([](const MessageBoxRecord& box)
                          { std::fprintf(stderr, "[%s|%s|%u]", box.caption.c_str(), box.text.c_str(), box.style); });
    }
};

TEST_F(WaterTargetDeathTest, WithoutTheExtensionTheUserIsToldAndTheProcessEnds)
{
    // Mesa hides the extension from contexts made with this override; other drivers ignore it.
    if (std::strstr(reinterpret_cast<const char*>(glGetString(GL_VERSION)), "Mesa") == nullptr)
        GTEST_SKIP();
    setenv("MESA_EXTENSION_OVERRIDE", "-GL_EXT_framebuffer_object", 1);
    EXPECT_EXIT(LoadFramebufferEntryPoints(), ::testing::ExitedWithCode(255),
                "\\[ERROR\\|One or more EXT_framebuffer_object functions were not found\\|48\\]");
    unsetenv("MESA_EXTENSION_OVERRIDE");
}

TEST_F(WaterTargetDeathTest, ATargetThatCannotBeCompleteEndsTheProcessAsAFailureAndSaysWhy)
{
    // A zero-sized target never completes; the check must look at the target itself, not at the
    // window's framebuffer, which always reports complete. A refused target is a failure (-1),
    // never a run that ended well, and the driver's status is said.
    CRenderTexture empty;
    EXPECT_EXIT(empty.Create(0, 0), ::testing::ExitedWithCode(255),
                "^merrowind: the driver refuses the 0 x 0 render-to-texture target \\(status 0x8CD[67]\\)\n$");
}
