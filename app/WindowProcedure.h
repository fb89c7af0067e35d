// SPDX-License-Identifier: MIT
// The window procedure: turns window messages into changes of the client size, the camera and
// the scene rotation, toggles full screen (F11), asks for a screenshot (F12), and ends the
// program on Escape, close and destroy.
#pragma once

#include "platform/Messages.h"

LRESULT MainWindowProcedure(std::uint32_t message, WPARAM wParam, LPARAM lParam);
