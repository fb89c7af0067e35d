// SPDX-License-Identifier: MIT
// A render target as the inspector's views, the tests and debuggers see it: its name, texture,
// size and what its texels hold. Each part of the frame visits its own targets in one place, so
// views and debug labels cannot drift apart from the targets that exist.
#pragma once

#include <epoxy/gl.h>

#include <functional>

enum class TargetEncoding
{
    Colour,        // display colour, 0..1
    ColourAlpha,   // display colour, with an alpha that carries its own meaning
    Scene,         // linear colour that often exceeds 1
    LogLuminance,  // the natural log of luminance in red: negative below 1
    Luminance,     // linear luminance in red
};

struct NamedTarget
{
    const char* label;  // short, without spaces: also the view's name on the command line
    GLuint texture;
    int width;
    int height;
    TargetEncoding encoding;
};

using TargetVisitor = std::function<void(const NamedTarget&)>;

// Gives the texture its label for debuggers (glObjectLabel), where the driver offers labels.
void LabelTarget(const NamedTarget& target);
