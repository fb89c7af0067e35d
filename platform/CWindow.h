// SPDX-License-Identifier: MIT
// The program's one top-level window with its OpenGL context, on SDL2. It turns SDL events into
// window messages, one per peek, so the message loop and the window procedure keep the shape of
// the desktop platform the program was designed on.
#pragma once

#include "platform/IEventFilter.h"
#include "platform/IMessageSource.h"

#include <cstdint>

struct SDL_Window;

// Whether an OpenGL context is current on this thread; without one, rendering calls must wait.
bool IsContextCurrent();

class CWindow : public IMessageSource
{
public:
    // Starts the video system and creates the window, hidden, at (x, y) with the given outer
    // size, frame included: the client area is what the window manager's borders leave. The
    // procedure receives the first size message, with that client size, before this returns.
    // False, reported in a box, when the video system or the window cannot be had; false,
    // reported on the standard error, when SDL finds no display and would draw off screen
    // without SDL_VIDEODRIVER asking for it.
    bool Create(const char* caption, int x, int y, int outerWidth, int outerHeight, WindowProcedure procedure);

    void Show();

    // Creates the compatibility-profile OpenGL context and makes it current for the rest of the
    // process. A window without a context cannot run the scene: that ends the process. Its swaps
    // do not wait for the display until PaceByDisplay says so.
    void CreateContext();

    // With `vsync`, each swap waits for the display's refresh: adaptively where the driver offers
    // it (a late frame is shown at once instead of a whole refresh later), else always. Cheap
    // when nothing changes, so the frame calls it every time.
    void PaceByDisplay(bool vsync);
    void SwapBuffers();

    // Switches between a borderless window over the whole desktop, in the desktop's own mode,
    // and the window at its earlier size and place. The procedure hears the new client size
    // through size messages, as after any resize.
    void ToggleFullScreen();

    bool PeekMessage(Message& message) override;
    bool WaitWhileHidden(Message& message) override;

    SDL_Window* Handle() const { return window; }

    // The size in pixels of what the context draws into. The window, its size messages and the
    // mouse count in window units; on a high-DPI output (Wayland at scale 2, for one) the
    // drawable has more pixels than that. Without a window the arguments are left as they are.
    void GetDrawableSize(int& width, int& height) const;

    // A filter that sees each event before it is translated; an event it takes becomes no message.
    void SetEventFilter(IEventFilter* filter) { eventFilter = filter; }

private:
    bool Hidden() const;
    bool MessageFrom(const union SDL_Event& event, Message& message) const;
    bool Translate(const union SDL_Event& event, Message& message) const;
    bool TranslateSizeEvent(std::uint8_t windowEvent, Message& message) const;
    LPARAM ClientSizeParam() const;
    void FitFrameInto(int outerWidth, int outerHeight);
    void ToggleScreenCover();

    SDL_Window* window = nullptr;
    WindowProcedure procedure = nullptr;
    // Where the window was before it covered the screen by itself.
    struct
    {
        int x = 0, y = 0, width = 0, height = 0;
    } windowed;
    bool coversScreen = false;
    bool pacedByDisplay = false;
    IEventFilter* eventFilter = nullptr;
};
