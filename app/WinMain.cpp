// SPDX-License-Identifier: MIT
#include "app/WinMain.h"

#include "app/ISceneOverlay.h"
#include "app/MessageLoop.h"
#include "app/Scene.h"
#include "app/SettingsFile.h"
#include "app/WindowProcedure.h"
#include "platform/CWindow.h"
#include "platform/DisplaySettings.h"
#include "platform/QuitMessage.h"

#include <cstdlib>

namespace
{
constexpr const char* WindowCaption = "Merrowind :)";
constexpr int WindowX = 100;
constexpr int WindowY = 100;
constexpr int WindowOuterWidth = 640;
constexpr int WindowOuterHeight = 480;

long framesLeft = 0;

// A frame, paced as the settings say now (the settings file or the inspector may have changed
// them since the last); what the settings file could not read, over the first one; and the quit
// message once the last frame of a limited run has been shown.
void RenderFrameWithinLimit()
{
    MainWindow.PaceByDisplay(displaySettings.vsync);
    RenderFrame();
    ReportSettingsFile();
    if (framesLeft > 0 && --framesLeft == 0)
        PostQuitMessage(0);
}
}

int WinMain(long frameLimit)
{
    framesLeft = frameLimit;
    if (!EnterDataFolder())
        return EXIT_FAILURE;
    if (!MainWindow.Create(WindowCaption, WindowX, WindowY, WindowOuterWidth, WindowOuterHeight, MainWindowProcedure))
        return E_FAIL;
    MainWindow.SetEventFilter(&SceneOverlay());
    MainWindow.Show();
    // Before the scene, which takes the settings up as it loads its programs. The benchmark and
    // the snapshots start the scene alone and draw the defaults, whatever a person has saved.
    LoadSettingsFile(SettingsFilePath());
    InitScene();
    const int exitCode = RunMessageLoop(MainWindow, MainWindowProcedure, RenderFrameWithinLimit);
    ShutdownScene();
    return exitCode;
}
