// Modal message boxes, the program's way of reporting a failure; each report shown on screen is
// also written to standard error. Tests install a sink that records each box instead.
#pragma once

#include <functional>
#include <string>

struct SDL_Window;

constexpr unsigned MB_OK = 0x00;
constexpr unsigned MB_ICONWARNING = 0x30;

struct MessageBoxRecord
{
    std::string text;
    std::string caption;
    unsigned style = MB_OK;
};

using MessageBoxSink = std::function<void(const MessageBoxRecord&)>;

// Writes "Merrowind: caption: text" to standard error (further lines of the text indented below
// it), then shows `text` in a box titled `caption` and returns once the user has dismissed it.
void MessageBox(SDL_Window* owner, const std::string& text, const std::string& caption, unsigned style);

// The window that has the keyboard focus, or null.
SDL_Window* GetFocus();

// Replaces the on-screen boxes with `sink`; an empty sink shows them on screen again.
void SetMessageBoxSink(MessageBoxSink sink);
