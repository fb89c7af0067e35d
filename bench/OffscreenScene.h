// SPDX-License-Identifier: MIT
// Runs the program's own start-up and frames on an offscreen context (SDL's offscreen video
// driver over EGL), for the benchmark and the snapshot tool. Message boxes are recorded, not
// shown, so a tool can report them.
#pragma once

#include "platform/DisplaySettings.h"
#include "platform/MessageBox.h"

#include <string>
#include <vector>

struct SceneCamera
{
    bool moved = false;  // false: the start view, as Reset leaves it
    float x = 100.0f, y = 100.0f, z = 0.0f;
    float yaw = 0.0f;
    float sceneRotation = 0.0f;
};

class OffscreenScene
{
public:
    // Changes into the folder that holds this executable (the run folder, with CG/ and the
    // images), opens an offscreen window with the given client size and runs InitScene. The
    // swaps never wait for a display, and every frame steps the scene by 1/60 s, however long
    // it took, so that runs repeat.
    bool Start(int clientWidth, int clientHeight);

    // Places the camera and the scene rotation as a user could have left them; a camera that
    // has not moved is put back where the program starts it.
    static void Place(const SceneCamera& camera);

    // Whether the tool has been told to stop: SDL turns SIGINT and SIGTERM into a quit event,
    // which only reading the events finds. The tools ask before every frame.
    static bool QuitRequested();

    // The composed frame in the window's back buffer, RGB rows from the top.
    std::vector<unsigned char> ReadFrame() const;

    // Renders the next frame and gives its composed picture, read before the swap.
    std::vector<unsigned char> RenderAndReadFrame() const;

    const std::vector<MessageBoxRecord>& Boxes() const { return boxes; }
    const std::string& Error() const { return error; }

private:
    std::vector<MessageBoxRecord> boxes;
    std::string error;
    int width = 0;
    int height = 0;
};

// Parses "specified" or "window", the --render-size of both tools; false for anything else.
bool ParseRenderSize(const std::string& text, RenderSize& renderSize);
// Parses "specified" or "best", the --picture of both tools; false for anything else.
bool ParsePicture(const std::string& text, Picture& picture);
// Parses a list of them, "specified,best"; false where a word is neither or the list is empty.
bool ParsePictures(const std::string& text, std::vector<Picture>& pictures);
// The word the settings file and the tools write the picture with.
const char* PictureWord(Picture picture);
