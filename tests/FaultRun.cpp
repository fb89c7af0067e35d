// SPDX-License-Identifier: MIT
#include "FaultRun.h"

#include "RealProgram.h"

#include "app/SettingsFile.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/stat.h>
#include <thread>

namespace
{
using namespace std::chrono_literals;
namespace fs = std::filesystem;

const std::string RecordFile = "message-boxes.txt";
const std::string ReportPrefix = "Merrowind: ";
const std::string ContinuationIndent = "    ";
// The previews at the top of the window show no water.
constexpr int PreviewHeight = 60;
// Frames are deterministic but for the water's time: a still scene changes no pixel at all, and
// the water takes a corner of the start view only.
constexpr int MinimumChange = 200;

// Where the inspector's window first opens, in client pixels. Its background is nearly black:
// open, it leaves over half of that place darker than this level, which the scene reaches in a
// few percent of it at most; the test asks for two fifths.
constexpr int InspectorLeft = 10, InspectorTop = 70, InspectorRight = 310, InspectorBottom = 470;
constexpr int DarkLevel = 45;

// A sanitised build starts and draws about twice as slowly; waits are generous, never fixed.
constexpr auto WindowTimeout = 60s;
constexpr auto BoxTimeout = 20s;
constexpr auto ExitTimeout = 60s;
constexpr auto CameraTimeout = 30s;

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}
}

FaultRun::FaultRun()
{
    fs::copy(fs::path(RunFolder) / "CG", folder.PathOf("CG"), fs::copy_options::recursive);
    for (const char* image : {"TerrainMaterial.bmp", "norm.bmp", "heigth.bmp", "norm1.bmp", "height1.bmp", "skybox.bmp"})
        fs::copy(fs::path(RunFolder) / image, folder.PathOf(image));
}

std::string FaultRun::Original(const std::string& name) const
{
    return ReadFile((fs::path(RunFolder) / name).string());
}

void FaultRun::Replace(const std::string& name, const std::string& bytes) const
{
    folder.Write(name, bytes);
}

void FaultRun::ReplaceWithPipe(const std::string& name) const
{
    fs::remove(folder.PathOf(name));
    mkfifo(folder.PathOf(name).c_str(), 0600);
}

void FaultRun::ReplaceSettings(const std::string& text) const
{
    fs::create_directories(fs::path(SettingsFilePath()).parent_path());
    std::ofstream(SettingsFilePath(), std::ios::binary) << text;
}

bool FaultRun::Launch()
{
    if (!session.Running())
        return false;
    // The program inherits the variable when it is started, and only this program.
    setenv("MERROWIND_MESSAGE_BOX_RECORD", folder.PathOf(RecordFile).c_str(), 1);
    session.Start(folder.PathOf(""), Program);
    unsetenv("MERROWIND_MESSAGE_BOX_RECORD");
    window = session.WaitForWindow(Caption, WindowTimeout);
    return window != 0;
}

std::vector<std::string> FaultRun::DismissBoxes(std::size_t count)
{
    std::vector<std::string> titles;
    while (titles.size() < count)
    {
        const unsigned long box = session.WaitForWindowOtherThan(window, BoxTimeout);
        if (box == 0)
            break;
        titles.push_back(session.Title(box));
        session.DismissBox(box);
    }
    return titles;
}

std::vector<std::string> FaultRun::OpenBoxes() const
{
    std::vector<std::string> boxes = session.WindowTitles();
    boxes.erase(std::remove(boxes.begin(), boxes.end(), Caption), boxes.end());
    return boxes;
}

std::vector<std::string> FaultRun::Reports() const
{
    std::istringstream errors(ReadFile(folder.PathOf(RecordFile)));
    std::vector<std::string> reports;
    std::string line;
    while (std::getline(errors, line))
    {
        if (line.rfind(ReportPrefix, 0) == 0)
            reports.push_back(line.substr(ReportPrefix.size()));
        else if (line.rfind(ContinuationIndent, 0) == 0 && !reports.empty())
            reports.back() += "\n" + line;
    }
    return reports;
}

void FaultRun::LookAtTheHorizon() const
{
    session.Drag(window, 1, 320, 300, 320, 200);
}

Capture FaultRun::WaitFor(const std::function<bool(const Capture&)>& holds, std::chrono::milliseconds timeout) const
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline)
    {
        std::this_thread::sleep_for(200ms);
        Capture now = CaptureWindow();
        if (holds(now))
            return now;
    }
    return Capture{};
}

Capture FaultRun::WaitForChange(const Capture& before, int x0, int y0, int x1, int y1,
                                std::chrono::milliseconds timeout) const
{
    return WaitFor(
        [&](const Capture& now)
        {
            return now.width == before.width && now.height == before.height && now.width >= x1 && now.height >= y1 &&
                   ChangedPixels(before, now, x0, y0, x1, y1) >= MinimumChange;
        },
        timeout);
}

Capture FaultRun::WaitForAnimation(std::chrono::milliseconds timeout) const
{
    const Capture first = CaptureWindow();
    const Capture started = WaitForChange(first, 0, PreviewHeight, first.width, first.height, timeout);
    if (started.width == 0)
        return started;
    return WaitForChange(started, 0, PreviewHeight, started.width, started.height, timeout);
}

bool FaultRun::FollowsTheCamera() const
{
    for (const char* steps : {"Up Up Up Up Up Left Left Left", "Down Down Down Down Right Right"})
    {
        const Capture before = CaptureWindow();
        session.Key(window, steps);
        if (WaitForChange(before, 0, 0, before.width, before.height, CameraTimeout).width == 0)
            return false;
    }
    return true;
}

bool FaultRun::OpenInspector() const
{
    if (WaitForAnimation(CameraTimeout).width == 0)
        return false;
    session.Key(window, "F1");
    const auto covered = [](const Capture& capture)
    {
        if (capture.width < InspectorRight || capture.height < InspectorBottom)
            return false;
        int dark = 0;
        for (int y = InspectorTop; y < InspectorBottom; ++y)
            for (int x = InspectorLeft; x < InspectorRight; ++x)
                dark += std::max({capture.Pixel(x, y)[0], capture.Pixel(x, y)[1], capture.Pixel(x, y)[2]}) < DarkLevel;
        return dark * 5 > (InspectorRight - InspectorLeft) * (InspectorBottom - InspectorTop) * 2;
    };
    return WaitFor(covered, WindowTimeout).width > 0;
}

std::optional<int> FaultRun::Quit()
{
    session.Key(window, "Escape");
    return session.WaitForExit(ExitTimeout);
}

int ChangedPixels(const Capture& a, const Capture& b, int x0, int y0, int x1, int y1)
{
    constexpr int Tolerance = 8;
    int changed = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            changed += std::abs(a.Pixel(x, y)[0] - b.Pixel(x, y)[0]) > Tolerance ||
                       std::abs(a.Pixel(x, y)[1] - b.Pixel(x, y)[1]) > Tolerance ||
                       std::abs(a.Pixel(x, y)[2] - b.Pixel(x, y)[2]) > Tolerance;
    return changed;
}

double MeanLevel(const Capture& capture, int x0, int y0, int x1, int y1)
{
    double sum = 0.0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            for (int c = 0; c < 3; ++c)
                sum += capture.Pixel(x, y)[c];
    return sum / (3.0 * (x1 - x0) * (y1 - y0));
}
