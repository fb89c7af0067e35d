// A real OpenGL context for the GL tests: SDL's offscreen video driver (EGL, no X server) on
// whatever driver the machine has, Mesa llvmpipe here. One context serves the whole test run.
#pragma once

#include "platform/MessageBox.h"

#include <gtest/gtest.h>
#include <epoxy/gl.h>

#include <vector>

class GlTest : public ::testing::Test
{
protected:
    // Makes the shared context current, records message boxes instead of showing them, and
    // starts each test with no GL error pending.
    void SetUp() override;
    void TearDown() override;

    // Reads the window framebuffer (or whatever is bound) as RGBA rows, bottom row first.
    static std::vector<unsigned char> ReadPixels(int x, int y, int width, int height);

    std::vector<MessageBoxRecord> boxes;
};

#define EXPECT_NO_GL_ERROR() EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR))
