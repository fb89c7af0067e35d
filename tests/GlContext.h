// SPDX-License-Identifier: MIT
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

// Waits until the driver has finished all drawing issued so far. GL orders a read-back after the
// drawing before it, so our code needs no wait of its own; but llvmpipe 22.3 run with
// LP_NUM_THREADS=1 has handed back a render target with 64 x 64 tiles still untouched, so every
// read-back of the tests waits first and reads the same image however the driver schedules.
void WaitForRendering();

// One quad over the whole of clip space (with identity matrices, the whole viewport), texture
// coordinates 0 to 1 from its bottom-left corner.
void DrawClipSpaceQuad();

#define EXPECT_NO_GL_ERROR() EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR))
