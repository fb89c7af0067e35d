// SPDX-License-Identifier: MIT
// How the window presents the scene: paced by the display or not, and at which size the scene is
// rendered. Free of GL and SDL, so the settings file reads it, the inspector edits it, and the
// frame applies a change before it draws.
#pragma once

enum class RenderSize
{
    // The fixed 1024 x 768 scene target and 1024 x 1024 water images, whatever the window's size.
    Specified,
    // The scene target follows the window's drawable size; the water images the next power of two
    // above its longer side.
    Window,
};

struct DisplaySettings
{
    // Each swap waits for the display's refresh: adaptively where the driver offers it.
    bool vsync = true;
    RenderSize renderSize = RenderSize::Specified;
};

// As the settings file and the inspector chose them (app/Globals.cpp).
extern DisplaySettings displaySettings;
