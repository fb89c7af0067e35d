#include "platform/MessageBox.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>

namespace
{
MessageBoxSink& Sink()
{
    static MessageBoxSink sink;
    return sink;
}

// One line per report, so that a user who started the program from a terminal sees what the
// box says; a text of several lines (a compiler listing) goes on below it, indented.
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
}

void MessageBox(SDL_Window* owner, const std::string& text, const std::string& caption, unsigned style)
{
    if (Sink())
    {
        Sink()(MessageBoxRecord{text, caption, style});
        return;
    }
    std::fputs(ReportLines(text, caption).c_str(), stderr);
    std::fflush(stderr);
    const Uint32 flags = (style & MB_ICONWARNING) == MB_ICONWARNING ? SDL_MESSAGEBOX_WARNING : SDL_MESSAGEBOX_ERROR;
    SDL_ShowSimpleMessageBox(flags, caption.c_str(), text.c_str(), owner);
}

SDL_Window* GetFocus()
{
    return SDL_GetKeyboardFocus();
}

void SetMessageBoxSink(MessageBoxSink sink)
{
    Sink() = std::move(sink);
}
