// End-to-end harness: a private Xvfb server, the real executable started from its run folder,
// input through xdotool, window lookup and close requests through Xlib, and captures of what a
// person would see (xwd, converted by ImageMagick).
#pragma once

#include "Capture.h"

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

class X11Session
{
public:
    X11Session();
    ~X11Session();
    X11Session(const X11Session&) = delete;
    X11Session& operator=(const X11Session&) = delete;

    bool Running() const { return server > 0; }

    // Starts the program in `folder` (the run folder unless a test says otherwise); its standard
    // error goes to the file `errorFile` when one is named.
    void Start(const std::string& folder, const std::string& program, const std::string& errorFile = "");
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
    Capture CaptureWindow(unsigned long window) const;

    void Signal(int signal) const;
    // The program's exit status, or nothing when it is still running after `timeout`.
    std::optional<int> WaitForExit(std::chrono::milliseconds timeout);

    int Run(const std::string& command) const;  // a shell command on this display

private:
    pid_t server = -1;
    pid_t program = -1;
    std::string display;
    struct _XDisplay* connection = nullptr;
};
