// SPDX-License-Identifier: MIT
// How the window presents the scene: paced by the display or not, at which size the scene is
// rendered, and whether the picture is the specified one or the steadiest the driver allows. Free of GL and SDL, so the settings file reads it, the inspector edits it, and the
// frame applies a change before it draws.
#pragma once

enum class RenderSize
{
    // The fixed 1024 x 768 scene target and 1024 x 1024 water images, whatever the window's size.
    Specified,
    // The scene target follows the window's drawable size; the water images the least power of two
    // that covers its longer side.
    Window,
};

enum class Picture
{
    // Textures without mipmaps, one sample a pixel, the glint from unfiltered wave normals.
    Specified,
    // Mipmapped textures filtered along each pixel's footprint, and the scene multisampled at the
    // window's drawable size: a picture that holds still while the eye moves, at a price in frame
    // time. The glint needs no filter of its own: it keeps the reference's brightness unfiltered.
    Best,
};

struct DisplaySettings
{
    // Each swap waits for the display's refresh: adaptively where the driver offers it.
    bool vsync = true;
    RenderSize renderSize = RenderSize::Specified;
    Picture picture = Picture::Specified;
};

// As the settings file and the inspector chose them (app/Globals.cpp).
extern DisplaySettings displaySettings;
