// SPDX-License-Identifier: MIT
// The GLSL dialect of an OpenGL context: the prologue (version line, extension lines and what an
// older language lacks) that the runtime puts in front of every program, chosen once when the
// shading context is made. The programs are written in GLSL 4.10; a context that offers only
// GLSL 3.30 compiles the same text as 3.30, with the extensions that bring what the programs use
// of 4.10, or a substitute where a driver lacks one.
#pragma once

#include <functional>
#include <string>

struct GlslDialect
{
    // Put in front of every program; ends with a newline. Empty when the context cannot run them.
    std::string prologue;
    // What the program needs and the driver offers, for a message box; empty when it has all.
    std::string shortfall;

    bool Supported() const { return !prologue.empty(); }
};

// The dialect for a context whose version strings are `glVersion` and `glslVersion` (as the
// driver gives them: "3.3 (Compatibility Profile) Mesa 22.3.6", "3.30") and that offers the
// extensions for which `hasExtension` answers true.
GlslDialect ChooseGlslDialect(const std::string& glVersion, const std::string& glslVersion,
                              const std::function<bool(const std::string&)>& hasExtension);

// The dialect of the context current on this thread.
GlslDialect CurrentGlslDialect();
