// SPDX-License-Identifier: MIT
#include "app/CScreenshots.h"

#include "platform/CUserFolders.h"
#include "platform/PngFile.h"
#include "platform/ReadableText.h"

#include <epoxy/gl.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

CScreenshots Screenshots;

namespace
{
std::string LocalTimeStamp(std::time_t time)
{
    std::tm local{};
    localtime_r(&time, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d-%H%M%S", &local);
    return stamp;
}

}

void CScreenshots::CaptureIfRequested(int width, int height)
{
    if (!requested || width <= 0 || height <= 0)
        return;
    requested = false;
    std::string folder, error, path;
    if (!CUserFolders::OfThisProcess().Pictures(folder, error) || !CreateFolders(folder, error))
        Report(NotSaved, "Screenshot not saved: " + error);
    else if (WriteNewPngFile(ScreenshotStem(folder, std::time(nullptr)), width, height, ReadBackBuffer(width, height),
                             path, error))
        Report(Saved, "Screenshot saved as " + path);
    else
        Report(NotSaved, "Screenshot not saved as " + path + ": " + error);
}

// The inspector may be closed: a failure is also said where the user who pressed F12 can read it.
// A path from the user's files may be of any length, so the message is cut to be read.
void CScreenshots::Report(Outcome outcome, const std::string& message)
{
    last = ScreenshotOutcome{CutText(message), outcome == NotSaved, last.number + 1};
    if (outcome == NotSaved)
        std::fprintf(stderr, "merrowind: %s\n", last.message.c_str());
}

std::vector<unsigned char> ReadBackBuffer(int width, int height)
{
    std::vector<unsigned char> bottomUp(static_cast<size_t>(width) * height * 3);
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    std::vector<unsigned char> topDown(bottomUp.size());
    const size_t row = static_cast<size_t>(width) * 3;
    for (int y = 0; y < height; ++y)
        std::memcpy(&topDown[y * row], &bottomUp[(height - 1 - y) * row], row);
    return topDown;
}

std::string ScreenshotStem(const std::string& folder, std::time_t time)
{
    return (std::filesystem::path(folder) / ("merrowind-" + LocalTimeStamp(time))).string();
}
