// SPDX-License-Identifier: MIT
// Screenshots of the window: F12 asks for one, and the frame reads the window's picture at the
// point it chooses (after the last drawing that belongs in the picture, before the swap) and
// writes it as a PNG file into the user's pictures folder (see CUserFolders), named after the date
// and time. No box: the result is kept as a message for the inspector to show, and a failure is
// also written to the standard error.
#pragma once

#include <ctime>
#include <string>
#include <vector>

// Where the last screenshot went, or why it could not be written; the number counts the
// screenshots taken or tried, so that a new outcome shows even when its message is the same.
struct ScreenshotOutcome
{
    std::string message;
    bool failed = false;
    unsigned number = 0;
};

class CScreenshots
{
public:
    // F12 and the inspector ask; the next frame that has a picture takes it.
    void Request() { requested = true; }
    // Writes the back buffer's width x height pixels if a screenshot has been asked for. Without
    // a request it makes no call and allocates nothing; while the window has no area (minimised)
    // the request waits for the next frame that has a picture.
    void CaptureIfRequested(int width, int height);
    const ScreenshotOutcome& Last() const { return last; }

private:
    enum Outcome
    {
        Saved,
        NotSaved,
    };
    void Report(Outcome outcome, const std::string& message);

    bool requested = false;
    ScreenshotOutcome last;
};

// The window's screenshots, the one instance.
extern CScreenshots Screenshots;

// The back buffer's pixels as 8-bit RGB, top row first.
std::vector<unsigned char> ReadBackBuffer(int width, int height);

// The name in `folder` of a screenshot taken at `time` (local time), without ".png":
// merrowind-YYYY-MM-DD-HHMMSS. WriteNewPngFile numbers it where the name is taken.
std::string ScreenshotStem(const std::string& folder, std::time_t time);
