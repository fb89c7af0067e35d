// SPDX-License-Identifier: MIT
// End-to-end harness: a private Xvfb server, with or without a window manager (openbox), the
// real executable started from its run folder, input through xdotool, window lookup, geometry
// and close requests through Xlib, and captures of what a person would see (xwd, converted by
// ImageMagick).
#pragma once

#include "Capture.h"

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

// A window's place and size on the screen.
struct Rectangle
{
    int x, y, width, height;
    bool operator==(const Rectangle& other) const
    {
        return x == other.x && y == other.y && width == other.width && height == other.height;
    }
};

inline void PrintTo(const Rectangle& rectangle, std::ostream* out)
{
    *out << rectangle.width << " x " << rectangle.height << " at (" << rectangle.x << ", " << rectangle.y << ")";
}

class X11Session
{
public:
    enum class Desktop
    {
        Bare,     // no window manager: windows are where and as large as their programs make them
        Openbox,  // a window manager that frames every window
    };

    explicit X11Session(Desktop desktop = Desktop::Bare);
    ~X11Session();
    X11Session(const X11Session&) = delete;
    X11Session& operator=(const X11Session&) = delete;

    bool Running() const { return server > 0; }

    // Starts the program in `folder` (the run folder unless a test says otherwise) on this
    // display; `environment` then sets ("NAME=value") or removes ("NAME") further variables.
    void Start(const std::string& folder, const std::string& program, const std::vector<std::string>& arguments = {},
               const std::vector<std::string>& environment = {});
    const std::string& DisplayName() const { return display; }
    // The running program's process id, -1 once it has been waited for.
    pid_t ProgramId() const { return program; }
    // Waits for a top-level window whose title is exactly `title`; 0 when none appears in time.
    unsigned long WaitForWindow(const std::string& title, std::chrono::milliseconds timeout) const;
    // Every top-level window title, in stacking order.
    std::vector<std::string> WindowTitles() const;
    std::string Title(unsigned long window) const;

    // Waits for a viewable top-level window other than `except` (a message box); 0 if none comes.
    unsigned long WaitForWindowOtherThan(unsigned long except, std::chrono::milliseconds timeout) const;
    // Dismisses a message box as a user does, with the Return key, and waits until it is gone.
    void DismissBox(unsigned long box) const;

    void Key(unsigned long window, const std::string& key) const;
    void Drag(unsigned long window, int button, int fromX, int fromY, int toX, int toY) const;
    // Asks the window to close as a window manager's close button does (WM_DELETE_WINDOW).
    void RequestClose(unsigned long window) const;
    void ResizeWindow(unsigned long window, int width, int height) const;
    // The client area of a top-level window, and the whole window with the frame that a window
    // manager put around it (the same rectangle without one), in root coordinates.
    Rectangle ClientArea(unsigned long window) const;
    Rectangle Frame(unsigned long window) const;
    // The window's _NET_FRAME_EXTENTS (left, right, top, bottom), as the window manager set them.
    std::vector<long> FrameExtents(unsigned long window) const;
    Capture CaptureWindow(unsigned long window) const;

    void Signal(int signal) const;
    // The program's exit status, or nothing when it is still running after `timeout`.
    std::optional<int> WaitForExit(std::chrono::milliseconds timeout);

    int Run(const std::string& command) const;  // a shell command on this display

private:
    bool StartWindowManager();

    pid_t server = -1;
    pid_t windowManager = -1;
    pid_t program = -1;
    std::string display;
    struct _XDisplay* connection = nullptr;
};
