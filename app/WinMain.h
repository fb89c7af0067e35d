// SPDX-License-Identifier: MIT
// The program's entry: window, scene start-up, message loop, shutdown.
#pragma once

// The exit code when the window cannot be created, as the desktop platform reports it.
constexpr int E_FAIL = static_cast<int>(0x80004005u);

// Runs until the window is closed, or after `frameLimit` frames when that is not 0. Ends at once
// with EXIT_FAILURE when no folder holds the files the scene reads, and with E_FAIL when there is
// no display to open the window on.
int WinMain(long frameLimit = 0);
