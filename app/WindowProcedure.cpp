// SPDX-License-Identifier: MIT
#include "app/WindowProcedure.h"

#include "app/CScreenshots.h"
#include "app/Scene.h"
#include "camera/CCamera.h"
#include "camera/Projection.h"
#include "camera/ViewState.h"
#include "platform/CWindow.h"
#include "platform/QuitMessage.h"

#include <epoxy/gl.h>

namespace
{
constexpr float KeyStep = 2.0f;
constexpr double TurnDivisor = 200.0;  // pixels of left drag per radian of heading

struct Point
{
    int x = 0;
    int y = 0;
};

// The mouse is not captured: a drag only sees movement over the client area. The release of a
// button still arrives when the pointer is outside the window (the X server hands it to the
// window that saw the press), so it ends the drag there too.
struct DragState
{
    bool leftActive = false;
    bool rightActive = false;
    Point leftCurrent, leftPrevious;
    Point rightCurrent, rightPrevious;
};

DragState drag;

Point MousePosition(LPARAM lParam)
{
    return Point{LowWord(lParam), HighWord(lParam)};
}

// The message carries the client size in window units; the viewport is in the drawable's pixels.
// A window without an area has no drawable either.
void Resize(LPARAM lParam)
{
    WindowSize = ClientSize{LowWord(lParam), HighWord(lParam)};
    DrawableSize = WindowSize;
    if (WindowSize.width > 0 && WindowSize.height > 0)
        MainWindow.GetDrawableSize(DrawableSize.width, DrawableSize.height);
    // Size messages sent while the window is created arrive before the context exists.
    if (!IsContextCurrent())
        return;
    glViewport(0, 0, DrawableSize.width, DrawableSize.height);
    LoadPerspective(DrawableSize.width, DrawableSize.height);
}

// Arrows walk on while held; full screen and screenshots are one action per press.
void KeyDown(WPARAM key, LPARAM lParam)
{
    const bool repeat = (lParam & KeyWasDown) != 0;
    switch (key)
    {
    case VK_ESCAPE: PostQuitMessage(0); break;
    case VK_LEFT: Camera.Strafe(-KeyStep); break;
    case VK_UP: Camera.MoveForward(KeyStep); break;
    case VK_RIGHT: Camera.Strafe(KeyStep); break;
    case VK_DOWN: Camera.MoveForward(-KeyStep); break;
    case VK_F11:
        if (!repeat)
            MainWindow.ToggleFullScreen();
        break;
    case VK_F12:
        if (!repeat)
            Screenshots.Request();
        break;
    default: break;
    }
}

void MouseMove(LPARAM lParam)
{
    drag.leftCurrent = drag.rightCurrent = MousePosition(lParam);
    if (drag.leftActive)
    {
        Camera.Turn(static_cast<float>(static_cast<double>(drag.leftPrevious.x - drag.leftCurrent.x) / TurnDivisor));
        Camera.Rise(static_cast<float>(drag.leftCurrent.y - drag.leftPrevious.y));
    }
    if (drag.rightActive)
    {
        SceneRotation.horizontal -= static_cast<float>(drag.rightCurrent.x - drag.rightPrevious.x);
        SceneRotation.vertical -= static_cast<float>(drag.rightCurrent.y - drag.rightPrevious.y);
    }
    drag.leftPrevious = drag.leftCurrent;
    drag.rightPrevious = drag.rightCurrent;
}
}

LRESULT MainWindowProcedure(std::uint32_t message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_DESTROY:
    case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
    case WM_SIZE:
        Resize(lParam);
        return 0;
    case WM_KEYDOWN:
        KeyDown(wParam, lParam);
        return 0;
    case WM_MOUSEMOVE:
        MouseMove(lParam);
        return 0;
    case WM_LBUTTONDOWN:
        drag.leftCurrent = drag.leftPrevious = MousePosition(lParam);
        drag.leftActive = true;
        return 0;
    case WM_LBUTTONUP:
        drag.leftActive = false;
        return 0;
    case WM_RBUTTONDOWN:
        drag.rightCurrent = drag.rightPrevious = MousePosition(lParam);
        drag.rightActive = true;
        return 0;
    case WM_RBUTTONUP:
        drag.rightActive = false;
        return 0;
    default:
        return 0;  // the default procedure has nothing to do for this window
    }
}
