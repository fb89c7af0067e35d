// SPDX-License-Identifier: MIT
// What an X11 window manager does for a window: the borders it puts around it, asked for before
// the window is mapped, so that the program can make the whole window, frame included, the size
// it means; and whether it can show a window over the whole screen.
#pragma once

struct SDL_Window;

struct FrameExtents
{
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
};

// The frame the window manager will give `window` (hidden, not yet mapped); all zero on a desktop
// without a window manager that answers, and on other than X11.
FrameExtents RequestFrameExtents(SDL_Window* window);

// Whether the desktop shows a window full screen when SDL asks: Wayland compositors and X11
// window managers that list _NET_WM_STATE_FULLSCREEN do; an X server without a window manager
// leaves the window as it is.
bool DesktopOffersFullScreen(SDL_Window* window);
