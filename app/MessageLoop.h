// SPDX-License-Identifier: MIT
// The message loop: one waiting message is dispatched per turn, and a frame is rendered on every
// turn that finds none, until the quit message has been removed. While the window cannot be seen
// the loop sleeps until the next message instead: nobody would see the frames.
#pragma once

#include "platform/IMessageSource.h"

// Returns the exit code carried by the quit message.
int RunMessageLoop(IMessageSource& source, WindowProcedure procedure, void (*renderFrame)());
