// The program's entry: window, scene start-up, message loop, shutdown.
#pragma once

// The exit code when the window cannot be created, as the desktop platform reports it.
constexpr int E_FAIL = static_cast<int>(0x80004005u);

int WinMain();
