// SPDX-License-Identifier: MIT
// Asks the window manager for a window's frame through _NET_REQUEST_FRAME_EXTENTS and reads the
// answer from the window's _NET_FRAME_EXTENTS. SDL learns the frame only once the window is mapped
// and the window manager has reparented it, too late for the first size message.
#include "platform/FrameExtents.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace
{
// A window manager answers at once; one that does not within this time is not waited for longer.
constexpr Uint32 AnswerTimeoutMs = 1000;
constexpr Uint32 PollIntervalMs = 5;

// Whether a window manager runs that offers `feature` (one of its _NET_SUPPORTED atoms). The list
// on the root window stays behind when a window manager quits, so its check window must still be
// there too.
bool WindowManagerSupports(Display* display, const char* feature)
{
    const Window root = DefaultRootWindow(display);
    const Atom wanted = XInternAtom(display, feature, False);
    Atom type;
    int format;
    unsigned long count = 0, remaining;
    unsigned char* data = nullptr;
    bool supported = false;
    if (XGetWindowProperty(display, root, XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False), 0, 1, False,
                           XA_WINDOW, &type, &format, &count, &remaining, &data) != Success || count != 1)
    {
        XFree(data);
        return false;
    }
    XFree(data);
    if (XGetWindowProperty(display, root, XInternAtom(display, "_NET_SUPPORTED", False), 0, 4096, False, XA_ATOM,
                           &type, &format, &count, &remaining, &data) == Success && data != nullptr)
    {
        const Atom* features = reinterpret_cast<const Atom*>(data);
        for (unsigned long i = 0; i < count && !supported; ++i)
            supported = features[i] == wanted;
    }
    XFree(data);
    return supported;
}

void SendRequest(Display* display, Window window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "_NET_REQUEST_FRAME_EXTENTS", False);
    event.xclient.format = 32;
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &event);
    XFlush(display);
}

bool ReadExtents(Display* display, Window window, FrameExtents& extents)
{
    Atom type;
    int format;
    unsigned long count = 0, remaining;
    unsigned char* data = nullptr;
    const bool read = XGetWindowProperty(display, window, XInternAtom(display, "_NET_FRAME_EXTENTS", False), 0, 4,
                                         False, XA_CARDINAL, &type, &format, &count, &remaining, &data) == Success &&
                      data != nullptr && count == 4;
    if (read)
    {
        const long* values = reinterpret_cast<const long*>(data);
        extents = FrameExtents{static_cast<int>(values[0]), static_cast<int>(values[1]), static_cast<int>(values[2]),
                               static_cast<int>(values[3])};
    }
    XFree(data);
    return read;
}
}

FrameExtents RequestFrameExtents(SDL_Window* window)
{
    FrameExtents extents;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return extents;
    Display* display = info.info.x11.display;
    const Window xWindow = info.info.x11.window;
    if (!WindowManagerSupports(display, "_NET_REQUEST_FRAME_EXTENTS"))
        return extents;
    SendRequest(display, xWindow);
    const Uint32 start = SDL_GetTicks();
    while (!ReadExtents(display, xWindow, extents) && SDL_GetTicks() - start < AnswerTimeoutMs)
        SDL_Delay(PollIntervalMs);
    return extents;
}

bool DesktopOffersFullScreen(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return true;
    return WindowManagerSupports(info.info.x11.display, "_NET_WM_STATE_FULLSCREEN");
}
