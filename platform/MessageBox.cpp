#include "platform/MessageBox.h"

#include <SDL.h>

namespace
{
MessageBoxSink& Sink()
{
    static MessageBoxSink sink;
    return sink;
}
}

void MessageBox(SDL_Window* owner, const std::string& text, const std::string& caption, unsigned style)
{
    if (Sink())
    {
        Sink()(MessageBoxRecord{text, caption, style});
        return;
    }
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
