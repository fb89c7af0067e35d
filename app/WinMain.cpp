#include "app/WinMain.h"

#include "app/MessageLoop.h"
#include "app/Scene.h"
#include "app/WindowProcedure.h"
#include "platform/CWindow.h"

namespace
{
constexpr const char* WindowCaption = "Merrowind :)";
constexpr int WindowX = 100;
constexpr int WindowY = 100;
constexpr int WindowOuterWidth = 640;
constexpr int WindowOuterHeight = 480;
}

int WinMain()
{
    if (!MainWindow.Create(WindowCaption, WindowX, WindowY, WindowOuterWidth, WindowOuterHeight, MainWindowProcedure))
        return E_FAIL;
    MainWindow.Show();
    InitScene();
    const int exitCode = RunMessageLoop(MainWindow, MainWindowProcedure, RenderFrame);
    ShutdownScene();
    return exitCode;
}
