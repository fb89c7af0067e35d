// SPDX-License-Identifier: MIT
// The inspector: an overlay window (Dear ImGui) that F1 opens and closes, with the frame's
// figures, a choice of the intermediate image shown over the window, and the panels of other
// parts of the program. Closed, it makes no call of its own and the frame is the usual one; it
// makes its GPU objects the first time it is opened and releases them with the scene.
#pragma once

#include "app/ISceneOverlay.h"
#include "inspector/CFrameHistory.h"
#include "inspector/CSettingsPanel.h"
#include "inspector/CStageTimer.h"
#include "inspector/CViewProgram.h"
#include "inspector/TargetViews.h"

#include <epoxy/gl.h>
#include <imgui.h>

#include <cstdint>
#include <string>
#include <vector>

union SDL_Event;

class CInspector : public ISceneOverlay
{
public:
    // Opens the inspector from the first frame on, showing the view called `name`; false, and
    // nothing changed, when no view has that name.
    bool OpenOnView(const std::string& name);
    // Opens the inspector over the tone-mapped picture, as F1 does.
    void Open() { open = true; }
    bool IsOpen() const { return open; }
    // Whether a screenshot is to show the inspector too, as the user chose in it.
    bool InScreenshots() const override { return open && screenshotsShowInspector; }

    // Asked by the window before it translates an event: F1 opens and closes the inspector; while
    // open, the mouse and keyboard events that it wants are its own. True: the event is taken.
    bool TakeEvent(const SDL_Event& event) override;

    // The frame's hooks: the timer that hears the frame's stages while open, else nullptr.
    IFrameObserver* BeginTimedFrame() override;
    // The texture to show over the window: `finalTexture`, or the chosen view's with the display
    // program bound until EndView.
    GLuint BeginView(GLuint finalTexture) override;
    void EndView() override;
    // Draws the inspector's window over the composed frame.
    void Draw() override;

    // Releases the window, the timer queries and the display program, while the context lives.
    void Release() override;

private:
    void Create();
    // The window's place and size, kept in the user's state folder (see CUserFolders).
    void LoadLayout();
    void SaveLayout();
    void FollowDisplayScale();
    void RecordFrameTime();
    void ReadLuminance();
    void DrawWindow();
    void DrawViewChooser();
    void DrawFigures();
    void DrawScreenshotPanel(bool scrollToMessage);
    void DrawViewCaption();
    bool TakesMouse(const SDL_Event& event);
    bool Over(int x, int y) const;
    bool ShowsView() const { return open && context != nullptr && view >= 0; }

    bool open = false;
    ImGuiContext* context = nullptr;
    std::vector<TargetView> views;
    int view = -1;  // -1: the tone-mapped picture, as when closed
    float scale = 1.0f;
    // The drawable-to-window ratio the font was rasterised for; 0 before the first drawing.
    float fontScale = 0.0f;
    bool screenshotsShowInspector = false;
    CViewProgram viewProgram;
    CStageTimer timer;
    CFrameHistory history;
    CSettingsPanel settingsPanel;
    std::uint64_t lastFrameCounter = 0;
    float measuredLuminance = 0.0f;
    float adaptedLuminance = 0.0f;
    // The inspector's window as last drawn, in client pixels.
    ImVec2 windowMin, windowMax;
    // The mouse buttons held since a press that went to the inspector, and to the scene.
    std::uint32_t inspectorButtons = 0;
    std::uint32_t sceneButtons = 0;
    // Why the layout could not be saved; empty while it could.
    std::string layoutProblem;
    // The number of the last screenshot outcome the window has been drawn after.
    unsigned screenshotsSeen = 0;
};

extern CInspector Inspector;
