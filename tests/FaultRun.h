// SPDX-License-Identifier: MIT
// One start of the real program under Xvfb from a copy of its run folder, in which a test may
// first damage files: the message boxes it then shows, walked as a user does, the record of their
// texts, whether it goes on rendering, and how it ends.
#pragma once

#include "ScratchFolder.h"
#include "X11Session.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class FaultRun
{
public:
    // Copies the run folder (the shaders, the effect and the six images) into a scratch folder.
    FaultRun();

    // The bytes of a file of the untouched run folder, and a replacement for its copy.
    std::string Original(const std::string& name) const;
    void Replace(const std::string& name, const std::string& bytes) const;
    // Puts a named pipe that no one writes to in the file's place.
    void ReplaceWithPipe(const std::string& name) const;
    // Writes the settings file that the program reads from the tests' configuration folder.
    void ReplaceSettings(const std::string& text) const;

    // Starts the program in the copy; false when its window does not appear.
    bool Launch();
    // Dismisses the next `count` message boxes with Return and gives their titles, in order;
    // fewer when no further box comes.
    std::vector<std::string> DismissBoxes(std::size_t count);
    // Titles of the message boxes on screen now.
    std::vector<std::string> OpenBoxes() const;
    // Every box recorded so far, as caption and text, each without its "Merrowind: " prefix and
    // its final line break; a report's further (indented) lines stay in it.
    std::vector<std::string> Reports() const;

    // The start view looks steeply down on the terrain, with a corner of water; a left drag
    // upwards lowers the eye and brings the horizon in, with sky above and water below it.
    void LookAtTheHorizon() const;
    Capture CaptureWindow() const { return session.CaptureWindow(window); }
    // Captures the window until `holds` is true of a capture; that capture, or an empty one after
    // `timeout`.
    Capture WaitFor(const std::function<bool(const Capture&)>& holds, std::chrono::milliseconds timeout) const;
    // Captures the window until a few hundred pixels of the area from (x0, y0) to (x1, y1) differ
    // from `before`; that capture, or an empty one after `timeout`.
    Capture WaitForChange(const Capture& before, int x0, int y0, int x1, int y1,
                          std::chrono::milliseconds timeout) const;
    // Frames run only once start-up is over, and the water moves in every frame: waits for the
    // picture below the previews to change twice (start-up over, then the water's animation)
    // and gives the last capture, or an empty one when it stands still.
    Capture WaitForAnimation(std::chrono::milliseconds timeout) const;
    // Walks and turns the camera twice with the arrow keys; true when the picture follows each
    // time. The first change may be only the first frame after start-up; the second is not.
    // The previews follow too, so this holds whatever the HDR chain and the water draw.
    bool FollowsTheCamera() const;
    // F1 once frames run, and the wait until the inspector's dark window covers most of the place
    // where it first opens; false when it does not come.
    bool OpenInspector() const;
    // Escape, as a user ends the program; its exit status, or nothing when it does not end.
    std::optional<int> Quit();

    X11Session& Session() { return session; }
    unsigned long Window() const { return window; }

private:
    ScratchFolder folder;
    X11Session session;
    unsigned long window = 0;
};

// How many pixels of a rectangle differ by more than a few levels in some channel between two
// captures of the same size.
int ChangedPixels(const Capture& a, const Capture& b, int x0, int y0, int x1, int y1);
// Mean of all channels over a rectangle: 0 for black, 255 for white.
double MeanLevel(const Capture& capture, int x0, int y0, int x1, int y1);
