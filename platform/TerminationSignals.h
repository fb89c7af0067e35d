// SPDX-License-Identifier: MIT
// The signals that end the program as its close button does: SIGTERM and SIGINT, which SDL turns
// into its quit event, and SIGHUP (the terminal closing), which would otherwise end it at once
// with nothing saved. A signal also ends a message box on screen: SDL shows each box from a child
// process (its own on X11, zenity on Wayland) and waits for it whatever signal comes, so the child
// is ended and the wait with it. Once a signal has come, no further box is shown; what a box would
// have said goes to the standard error, as for a box SDL could not show.
#pragma once

#include <SDL.h>

// Takes over SIGTERM, SIGINT and SIGHUP from SDL_Init's handlers, which it then hands each signal
// on to as SIGTERM. Does nothing where SDL left the signals alone (SDL_NO_SIGNAL_HANDLERS), and
// leaves SIGHUP ignored when the program was started so (nohup).
void EndOnTerminationSignals();

// SDL_ShowSimpleMessageBox, given up when a termination signal comes while it is shown and not
// tried after one: 0 when the user dismissed the box, non-zero when no one did.
int ShowMessageBoxUntilTerminated(Uint32 flags, const char* title, const char* text, SDL_Window* owner);
