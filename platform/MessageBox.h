// SPDX-License-Identifier: MIT
// Modal message boxes: how the program tells its user of a failure at start-up or in a frame.
// Without a display it names on the standard error what it tried, and a screenshot or a save that
// fails is told in the inspector and on the standard error, with no box. A box that SDL cannot
// show is written to the standard error instead. Tests install a sink that records each box
// instead of showing it; tests of the real program name a file in MERROWIND_MESSAGE_BOX_RECORD, to
// which each box shown is also appended.
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

// Shows `text`, cut and wrapped to be read (see ReadableText), in a box titled `caption` and
// returns once the user has dismissed it; the sink and the record get the text as shown. When a
// record file is named, "Merrowind: caption: text" is appended to it first (further lines of the
// text indented below).
void MessageBox(SDL_Window* owner, const std::string& text, const std::string& caption, unsigned style);

// The window that has the keyboard focus, or null.
SDL_Window* GetFocus();

// Replaces the on-screen boxes with `sink`; an empty sink shows them on screen again.
void SetMessageBoxSink(MessageBoxSink sink);
