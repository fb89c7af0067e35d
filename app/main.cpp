// The process entry. Without arguments the program runs the scene until it is closed;
// `merrowind --frames N` ends it after N frames, as Escape would, for soak and leak runs.
#include "app/WinMain.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
constexpr const char* Usage = "usage: merrowind [--frames N]   (N > 0: end after N frames)\n";

// The frame limit from the command line, 0 for none, or -1 when `--frames` has no valid count.
// Other arguments are ignored: the program takes none, and a launcher may add its own.
long ReadFrameLimit(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
    {
        if (std::strcmp(argv[i], "--frames") != 0)
            continue;
        if (i + 1 == argc)
            return -1;
        char* end = nullptr;
        const long frames = std::strtol(argv[i + 1], &end, 10);
        return *end == '\0' && frames > 0 ? frames : -1;
    }
    return 0;
}
}

int main(int argc, char** argv)
{
    const long frameLimit = ReadFrameLimit(argc, argv);
    if (frameLimit < 0)
    {
        std::fputs(Usage, stderr);
        return 2;
    }
    return WinMain(frameLimit);
}
