// SPDX-License-Identifier: MIT
// The main scene's multisampled colour and depth, drawn into in place of the scene target and
// resolved into it, one sample a pixel, before the HDR chain reads it: the edges of the hills
// and the shores are covered by several samples, while the chain's reads stay as they are.
#pragma once

#include <epoxy/gl.h>

class CMultisampleTarget
{
public:
    CMultisampleTarget() = default;
    ~CMultisampleTarget();
    CMultisampleTarget(const CMultisampleTarget&) = delete;
    CMultisampleTarget& operator=(const CMultisampleTarget&) = delete;

    // Half-float colour and 24-bit depth of width x height, with the samples asked for or as many
    // as the driver offers below that; false, holding nothing, where it offers fewer than two or
    // the framebuffer is incomplete.
    bool Create(int width, int height, int wantedSamples);
    // Releases the GL objects; on an empty object it makes no GL call.
    void Destroy();
    bool Exists() const { return frameBuffer != 0; }
    int Samples() const { return samples; }

    // Binds the target in place of the framebuffer bound now (the scene target, with its viewport
    // of the same size) and clears it.
    void BindAndClear();
    // Resolves the colour into the framebuffer that was bound at BindAndClear and binds that again.
    void Resolve();

private:
    int width = 0;
    int height = 0;
    int samples = 0;
    GLuint frameBuffer = 0;
    GLuint colour = 0;
    GLuint depth = 0;
    GLint resolvedInto = 0;
};
