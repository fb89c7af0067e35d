// SPDX-License-Identifier: MIT
#include "platform/CWindow.h"

#include "platform/FrameExtents.h"
#include "platform/MessageBox.h"
#include "platform/QuitMessage.h"
#include "platform/TerminationSignals.h"
#include "platform/WaylandSeat.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace
{
WPARAM VirtualKey(SDL_Keycode key)
{
    switch (key)
    {
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_UP: return VK_UP;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_F1: return VK_F1;
    case SDLK_F11: return VK_F11;
    case SDLK_F12: return VK_F12;
    default: return 0x100 + static_cast<WPARAM>(key & 0xFFFF);
    }
}

std::uint32_t ButtonMessage(std::uint8_t button, bool pressed)
{
    if (button == SDL_BUTTON_LEFT)
        return pressed ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    if (button == SDL_BUTTON_RIGHT)
        return pressed ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    return 0;
}

void RequestPixelFormat()
{
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
}

// SDL cannot start on a Wayland compositor without a seat (see WaylandSeat.h): there the program
// takes the desktop's X server (XWayland), and says why when it has none.
constexpr const char* NoSeatText =
    "The Wayland desktop offers no keyboard or pointer (no seat), which SDL needs; the program uses the "
    "desktop's X server (XWayland) instead, and found none: ";

// Whether SDL may pick its Wayland driver: it does when none is named, or Wayland is.
bool MayUseWayland()
{
    const char* named = std::getenv("SDL_VIDEODRIVER");
    return named == nullptr || std::strstr(named, "wayland") != nullptr;
}

// SDL's drivers that draw nowhere a person can see.
bool DrawsOffScreen(const char* driver)
{
    return SDL_strcasecmp(driver, "offscreen") == 0 || SDL_strcasecmp(driver, "dummy") == 0;
}

std::string Variable(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// Why a display driver found no display, as far as the environment tells.
std::string WhyNoDisplay(const std::string& driver)
{
    if (driver == "x11")
        return Variable("DISPLAY").empty() ? "DISPLAY is not set" : "no X server answers at DISPLAY=" + Variable("DISPLAY");
    if (driver == "wayland")
    {
        const std::string socket = Variable("WAYLAND_DISPLAY").empty() ? "wayland-0" : Variable("WAYLAND_DISPLAY");
        if (socket[0] != '/' && Variable("XDG_RUNTIME_DIR").empty())
            return "XDG_RUNTIME_DIR is not set";
        return "no Wayland compositor answers at " + (socket[0] == '/' ? socket : Variable("XDG_RUNTIME_DIR") + "/" + socket);
    }
    return SDL_GetError();
}

// Each display driver SDL has, tried again alone, with why it failed.
std::string DisplaysTried()
{
    SDL_VideoQuit();
    std::string tried;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i)
    {
        const char* driver = SDL_GetVideoDriver(i);
        if (DrawsOffScreen(driver) || SDL_strcasecmp(driver, "evdev") == 0)
            continue;
        if (SDL_VideoInit(driver) == 0)
            SDL_VideoQuit();
        else
            tried += std::string(tried.empty() ? "" : "; ") + driver + " (" + WhyNoDisplay(driver) + ")";
    }
    return tried;
}

// Without a display SDL falls back to a driver that draws off screen, and the program would run
// unseen and forever. Only SDL_VIDEODRIVER naming that driver (tests, tools) asks for it.
bool OnADisplay()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!DrawsOffScreen(driver) || SDL_strcasestr(Variable("SDL_VIDEODRIVER").c_str(), driver) != nullptr)
        return true;
    std::fprintf(stderr, "merrowind: no display to open the window on; tried %s\n", DisplaysTried().c_str());
    return false;
}

bool StartVideo()
{
    const bool seatless = MayUseWayland() && WaylandCompositorWithoutSeat();
    if (seatless)
        SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "x11", SDL_HINT_OVERRIDE);
    if (SDL_Init(SDL_INIT_VIDEO) == 0)
    {
        EndOnTerminationSignals();
        return OnADisplay();
    }
    MessageBox(nullptr, (seatless ? NoSeatText : "") + std::string(SDL_GetError()), "Could not open a window", MB_OK);
    return false;
}
}

bool IsContextCurrent()
{
    return SDL_GL_GetCurrentContext() != nullptr;
}

bool CWindow::Create(const char* caption, int x, int y, int width, int height, WindowProcedure windowProcedure)
{
    // The desktop platform does not capture the mouse during a drag, so positions outside the
    // client area never arrive: the window procedure reads them as unsigned 16-bit numbers, and
    // a pointer just above the window would read as y = 65535. Without the capture SDL keeps
    // every position within the window.
    SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");
    if (!StartVideo())
        return false;
    RequestPixelFormat();
    window = SDL_CreateWindow(caption, x, y, width, height,
                              SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI);
    if (window == nullptr)
    {
        MessageBox(nullptr, SDL_GetError(), "Could not open a window", MB_OK);
        return false;
    }
    procedure = windowProcedure;
    FitFrameInto(width, height);
    procedure(WM_SIZE, 0, ClientSizeParam());
    return true;
}

// The whole window, frame included, has the outer size: the client area is what the window
// manager's borders leave of it.
void CWindow::FitFrameInto(int outerWidth, int outerHeight)
{
    const FrameExtents frame = RequestFrameExtents(window);
    if (frame.left + frame.right + frame.top + frame.bottom != 0)
        SDL_SetWindowSize(window, outerWidth - frame.left - frame.right, outerHeight - frame.top - frame.bottom);
}

void CWindow::Show()
{
    SDL_ShowWindow(window);
}

void CWindow::CreateContext()
{
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (context == nullptr || SDL_GL_MakeCurrent(window, context) != 0)
    {
        MessageBox(nullptr, SDL_GetError(), "Could not create an OpenGL context", MB_OK);
        std::exit(EXIT_FAILURE);
    }
    // The benchmark and the snapshot tool draw as fast as they can; the program's frame asks for
    // pacing as its settings say.
    SDL_GL_SetSwapInterval(0);
    pacedByDisplay = false;
}

void CWindow::PaceByDisplay(bool vsync)
{
    if (vsync == pacedByDisplay)
        return;
    if (!vsync || SDL_GL_SetSwapInterval(-1) != 0)
        SDL_GL_SetSwapInterval(vsync ? 1 : 0);
    pacedByDisplay = vsync;
}

void CWindow::SwapBuffers()
{
    SDL_GL_SwapWindow(window);
}

void CWindow::ToggleFullScreen()
{
    if (window == nullptr)
        return;
    if (!DesktopOffersFullScreen(window))
    {
        ToggleScreenCover();
        return;
    }
    const bool fullScreen = (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP;
    SDL_SetWindowFullscreen(window, fullScreen ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
}

// An X server without a window manager draws no borders and ignores SDL's full-screen request:
// the window itself covers its display, and goes back to the place and size it had.
void CWindow::ToggleScreenCover()
{
    SDL_Rect place{windowed.x, windowed.y, windowed.width, windowed.height};
    if (!coversScreen)
    {
        SDL_GetWindowPosition(window, &windowed.x, &windowed.y);
        SDL_GetWindowSize(window, &windowed.width, &windowed.height);
        SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(window), &place);
    }
    coversScreen = !coversScreen;
    SDL_SetWindowPosition(window, place.x, place.y);
    SDL_SetWindowSize(window, place.w, place.h);
    SDL_RaiseWindow(window);
}

bool CWindow::PeekMessage(Message& message)
{
    if (TakePostedQuitMessage(message))
        return true;
    SDL_Event event;
    while (SDL_PollEvent(&event))
        if (MessageFrom(event, message))
            return true;
    return false;
}

// Visibility is looked at again after every event: the one that shows the window may become no
// message (a maximise straight from minimised), and the frames must resume all the same.
bool CWindow::WaitWhileHidden(Message& message)
{
    SDL_Event event;
    while (Hidden() && SDL_WaitEvent(&event) != 0)
        if (MessageFrom(event, message))
            return true;
    return false;
}

bool CWindow::Hidden() const
{
    return window != nullptr && (SDL_GetWindowFlags(window) & (SDL_WINDOW_HIDDEN | SDL_WINDOW_MINIMIZED)) != 0;
}

// An event that the filter takes, or that has no message, gives none.
bool CWindow::MessageFrom(const SDL_Event& event, Message& message) const
{
    return !(eventFilter != nullptr && eventFilter->TakeEvent(event)) && Translate(event, message);
}

void CWindow::GetDrawableSize(int& width, int& height) const
{
    if (window == nullptr)
        return;
    int drawableWidth = 0, drawableHeight = 0;
    SDL_GL_GetDrawableSize(window, &drawableWidth, &drawableHeight);
    // A Wayland surface has no drawable until the compositor has configured it.
    if (drawableWidth == 0 && drawableHeight == 0)
        SDL_GetWindowSize(window, &drawableWidth, &drawableHeight);
    width = drawableWidth;
    height = drawableHeight;
}

// In window units, as the mouse positions are.
LPARAM CWindow::ClientSizeParam() const
{
    int width = 0, height = 0;
    SDL_GetWindowSize(window, &width, &height);
    return MakeLParam(width, height);
}

// A window that is minimised or hidden has no client area: the desktop platform reports it with
// a size message of 0 x 0, and the real size again when the window comes back.
bool CWindow::TranslateSizeEvent(std::uint8_t windowEvent, Message& message) const
{
    switch (windowEvent)
    {
    case SDL_WINDOWEVENT_MINIMIZED:
    case SDL_WINDOWEVENT_HIDDEN:
        message = Message{WM_SIZE, 0, MakeLParam(0, 0)};
        return true;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_SHOWN:
        message = Message{WM_SIZE, 0, ClientSizeParam()};
        return true;
    default:
        return false;
    }
}

bool CWindow::Translate(const SDL_Event& event, Message& message) const
{
    switch (event.type)
    {
    case SDL_QUIT:
        message = Message{WM_DESTROY, 0, 0};
        return true;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE)
        {
            message = Message{WM_CLOSE, 0, 0};
            return true;
        }
        return TranslateSizeEvent(event.window.event, message);
    case SDL_KEYDOWN:
        message = Message{WM_KEYDOWN, VirtualKey(event.key.keysym.sym), event.key.repeat != 0 ? KeyWasDown : 0};
        return true;
    case SDL_MOUSEMOTION:
        message = Message{WM_MOUSEMOVE, 0, MakeLParam(event.motion.x, event.motion.y)};
        return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    {
        // Buttons without a message (the middle one, side buttons) leave the record untouched.
        const std::uint32_t button = ButtonMessage(event.button.button, event.type == SDL_MOUSEBUTTONDOWN);
        if (button == 0)
            return false;
        message = Message{button, 0, MakeLParam(event.button.x, event.button.y)};
        return true;
    }
    default:
        return false;
    }
}
