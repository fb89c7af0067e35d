// SPDX-License-Identifier: MIT
// The process entry: the scene with the inspector laid over it. It stands above both, so that
// the scene knows no inspector. Without arguments the program runs the scene until it is closed;
// `merrowind --frames N` ends it after N frames, as Escape would, for soak and leak runs;
// `merrowind --inspector VIEW` starts with the inspector open on that intermediate image;
// `--help` and `--version` answer without opening a window.
#include "app/ISceneOverlay.h"
#include "app/WinMain.h"
#include "inspector/CInspector.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
constexpr const char* Usage =
    "usage: merrowind [--frames N] [--inspector VIEW] [--help] [--version]\n"
    "  --frames N        end after N frames (N > 0)\n"
    "  --inspector VIEW  start with the inspector open on one of its views, e.g. refraction_alpha\n"
    "  --help            show this and end\n"
    "  --version         show the version and end\n"
    "keys: arrows walk, left drag turns and raises the eye, right drag spins the scene, F1 inspector,\n"
    "      F11 full screen, F12 screenshot into the pictures folder, Escape ends\n";

// The value after option `name`: nullptr when the option is absent, "" when it has no value.
const char* OptionValue(int argc, char** argv, const char* name)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return i + 1 < argc ? argv[i + 1] : "";
    return nullptr;
}

// The frame limit from the command line, 0 for none, or -1 when `--frames` has no valid count.
// Other arguments are ignored: the program takes none, and a launcher may add its own.
long ReadFrameLimit(int argc, char** argv)
{
    const char* value = OptionValue(argc, argv, "--frames");
    if (value == nullptr)
        return 0;
    char* end = nullptr;
    const long frames = std::strtol(value, &end, 10);
    return *value != '\0' && *end == '\0' && frames > 0 ? frames : -1;
}

// False when `--inspector` names no view.
bool OpenInspector(int argc, char** argv)
{
    const char* view = OptionValue(argc, argv, "--inspector");
    return view == nullptr || Inspector.OpenOnView(view);
}
}

int main(int argc, char** argv)
{
    if (OptionValue(argc, argv, "--help") != nullptr)
    {
        std::fputs(Usage, stdout);
        return 0;
    }
    if (OptionValue(argc, argv, "--version") != nullptr)
    {
        std::puts("merrowind " MERROWIND_VERSION);
        return 0;
    }
    const long frameLimit = ReadFrameLimit(argc, argv);
    if (frameLimit < 0 || !OpenInspector(argc, argv))
    {
        std::fputs(Usage, stderr);
        return 2;
    }
    UseSceneOverlay(Inspector);
    return WinMain(frameLimit);
}
