// SPDX-License-Identifier: MIT
// Window messages as the window procedure sees them: the message identifiers, virtual-key codes
// and parameter packing of the desktop platform the program was designed on, so that input
// handling reads the same everywhere. The SDL window translates its events into these.
#pragma once

#include <cstdint>

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

struct Message
{
    std::uint32_t message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

using WindowProcedure = LRESULT (*)(std::uint32_t message, WPARAM wParam, LPARAM lParam);

constexpr std::uint32_t WM_DESTROY = 0x0002;
constexpr std::uint32_t WM_SIZE = 0x0005;
constexpr std::uint32_t WM_CLOSE = 0x0010;
constexpr std::uint32_t WM_QUIT = 0x0012;
constexpr std::uint32_t WM_KEYDOWN = 0x0100;
constexpr std::uint32_t WM_MOUSEMOVE = 0x0200;
constexpr std::uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr std::uint32_t WM_LBUTTONUP = 0x0202;
constexpr std::uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr std::uint32_t WM_RBUTTONUP = 0x0205;

constexpr WPARAM VK_ESCAPE = 27;
constexpr WPARAM VK_SPACE = 32;
constexpr WPARAM VK_LEFT = 37;
constexpr WPARAM VK_UP = 38;
constexpr WPARAM VK_RIGHT = 39;
constexpr WPARAM VK_DOWN = 40;
constexpr WPARAM VK_F1 = 0x70;
constexpr WPARAM VK_F11 = 0x7A;
constexpr WPARAM VK_F12 = 0x7B;

// A key-down message's lParam has this bit set when the key was down already: a repeat of a key
// held down, which an action taken once per press ignores.
constexpr LPARAM KeyWasDown = LPARAM(1) << 30;

// Two 16-bit halves packed into an lParam, as size and mouse messages carry them.
constexpr LPARAM MakeLParam(int low, int high)
{
    return static_cast<LPARAM>((static_cast<std::uint32_t>(high & 0xFFFF) << 16) |
                               static_cast<std::uint32_t>(low & 0xFFFF));
}

constexpr int LowWord(LPARAM value)
{
    return static_cast<int>(static_cast<std::uint32_t>(value) & 0xFFFF);
}

constexpr int HighWord(LPARAM value)
{
    return static_cast<int>((static_cast<std::uint32_t>(value) >> 16) & 0xFFFF);
}
