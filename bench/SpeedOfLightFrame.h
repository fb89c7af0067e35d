// SPDX-License-Identifier: MIT
// The fastest frame this machine could draw for the same work: the same render targets at the
// same sizes, cleared and filled by trivial shaders with the same full-target quads and the same
// vertex counts from static buffers, one texture fetch per fragment. The benchmark divides the
// real frame's time by this one's.
#pragma once

#include "app/FrameStage.h"
#include "app/RenderTargetSizes.h"

#include <epoxy/gl.h>

#include <array>

class SpeedOfLightFrame
{
public:
    // Needs the scene's context current; builds its own targets, buffers and program, the scene's
    // and the water's at the sizes the scene's frames use.
    void Create(int clientWidth, int clientHeight, const RenderTargetSizes& sizes);
    void Render(IFrameObserver& observer) const;

private:
    struct Target
    {
        GLuint framebuffer = 0;
        GLuint colour = 0;
        int width = 0;
        int height = 0;
    };

    enum DepthBuffer
    {
        WithDepth,
        WithoutDepth,
    };
    static Target MakeTarget(int width, int height, GLenum colourFormat, DepthBuffer depthBuffer);
    void BindTarget(const Target& target) const;
    void DrawTerrain() const;
    void DrawQuad(GLuint texture) const;

    std::array<Target, 2> waterTargets;  // reflection and refraction
    Target scene;
    std::array<Target, 12> chain;  // the targets of the HDR chain, in the order its quads use them
    GLuint program = 0;
    GLuint terrain = 0;
    GLuint grid = 0;
    GLuint gridStrips = 0;  // indices of the grid's 4-vertex strips, separated by restarts
    GLuint sky = 0;
    GLuint quad = 0;
    GLuint texture = 0;
    int clientWidth = 0;
    int clientHeight = 0;
};
