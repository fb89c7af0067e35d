// The borders that an X11 window manager puts around a window, asked for before the window is
// mapped, so that the program can make the whole window, frame included, the size it means.
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
