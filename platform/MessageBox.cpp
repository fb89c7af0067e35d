// SPDX-License-Identifier: MIT
#include "platform/MessageBox.h"

#include "platform/ReadableText.h"
#include "platform/TerminationSignals.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace
{
MessageBoxSink& Sink()
{
    static MessageBoxSink sink;
    return sink;
}

// Tests of the real program cannot read a box's text off the screen: when they name a file in
// this variable, every box shown is also appended there. Nothing else is ever written.
constexpr const char* RecordVariable = "MERROWIND_MESSAGE_BOX_RECORD";

// One line per report; a text of several lines (a compiler listing) goes on below it, indented.
std::string ReportLines(const std::string& text, const std::string& caption)
{
    std::string report = "Merrowind: " + caption + ":";
    const std::size_t end = text.find_last_not_of('\n');
    std::size_t start = 0;
    while (end != std::string::npos && start <= end)
    {
        const std::size_t lineEnd = std::min(text.find('\n', start), end + 1);
        report += (start == 0 ? " " : "\n    ") + text.substr(start, lineEnd - start);
        start = lineEnd + 1;
    }
    return report + "\n";
}

void Record(const std::string& text, const std::string& caption)
{
    const char* path = std::getenv(RecordVariable);
    if (path == nullptr)
        return;
    if (FILE* record = std::fopen(path, "a"))
    {
        std::fputs(ReportLines(text, caption).c_str(), record);
        std::fclose(record);
    }
}
}

void MessageBox(SDL_Window* owner, const std::string& message, const std::string& caption, unsigned style)
{
    const std::string text = ReadableText(message);
    if (Sink())
    {
        Sink()(MessageBoxRecord{text, caption, style});
        return;
    }
    Record(text, caption);
    const Uint32 flags = (style & MB_ICONWARNING) == MB_ICONWARNING ? SDL_MESSAGEBOX_WARNING : SDL_MESSAGEBOX_ERROR;
    // Where SDL can show no box (a Wayland desktop without zenity, no display at all), or a signal
    // ends the program before the user has read it, the report goes to the standard error, the
    // one place left where the user can see it.
    if (ShowMessageBoxUntilTerminated(flags, caption.c_str(), text.c_str(), owner) != 0)
        std::fputs(ReportLines(text, caption).c_str(), stderr);
}

SDL_Window* GetFocus()
{
    return SDL_GetKeyboardFocus();
}

void SetMessageBoxSink(MessageBoxSink sink)
{
    Sink() = std::move(sink);
}
