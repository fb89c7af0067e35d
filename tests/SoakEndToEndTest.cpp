// SPDX-License-Identifier: MIT
// Long runs of the real program under a private X server. A limited run ends by itself with
// status 0: in the sanitized build that is also the leak check of start-up, frames and shutdown,
// since LeakSanitizer turns any leak of ours into another status. Ten thousand frames in a small
// window keep the resident memory flat.
#include "SanitizedBuild.h"
#include "RealProgram.h"
#include "X11Session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace
{
using namespace std::chrono_literals;


// The resident set of process `id` in KiB, 0 once it is gone.
long ResidentKiB(pid_t id)
{
    std::ifstream status("/proc/" + std::to_string(id) + "/status");
    std::string field;
    while (status >> field)
    {
        if (field == "VmRSS:")
        {
            long kib = 0;
            status >> kib;
            return kib;
        }
    }
    return 0;
}

long Largest(std::vector<long>::const_iterator from, std::vector<long>::const_iterator to)
{
    return from == to ? 0 : *std::max_element(from, to);
}

int ExitStatusOf(const std::string& command)
{
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
}

TEST(Soak, AFrameLimitThatIsNoPositiveCountOrAViewThatDoesNotExistIsRefusedWithItsUsage)
{
    for (const char* arguments : {"--frames 0", "--frames -5", "--frames ten", "--frames", "--fast --frames 3x",
                                  "--inspector", "--inspector nowhere", "--frames 3 --inspector refraction_"})
        EXPECT_EQ(ExitStatusOf(Program + " " + arguments + " 2>/dev/null"), 2) << arguments;
}

// An argument the program does not know, as a launcher may add, changes nothing.
TEST(Soak, AFewHundredFramesThenShutdownEndWithStatusZero)
{
    X11Session session;
    ASSERT_TRUE(session.Running()) << "Xvfb did not start";
    session.Start(RunFolder, Program, {"-psn_0_1", "--frames", "300", "extra"});
    ASSERT_NE(session.WaitForWindow(Caption, 60s), 0u);
    EXPECT_EQ(session.WaitForExit(300s), std::optional<int>(0))
        << "the run did not end cleanly; in the sanitized build, its report is in this test's output";
}

TEST(Soak, TenThousandFramesKeepResidentMemoryFlat)
{
    if (SanitizedBuild)
        GTEST_SKIP() << "the sanitizer's quarantine grows resident memory by design";
    X11Session session;
    ASSERT_TRUE(session.Running()) << "Xvfb did not start";
    session.Start(RunFolder, Program, {"--frames", "10000"});
    const unsigned long window = session.WaitForWindow(Caption, 60s);
    ASSERT_NE(window, 0u);
    // A small window keeps each frame cheap; the off-screen water images keep their full size.
    session.ResizeWindow(window, 96, 72);

    const pid_t id = session.ProgramId();
    std::vector<long> samples;
    for (long kib = ResidentKiB(id); kib > 0; kib = ResidentKiB(id))
    {
        samples.push_back(kib);
        std::this_thread::sleep_for(1s);
    }
    ASSERT_EQ(session.WaitForExit(60s), std::optional<int>(0));
    ASSERT_GE(samples.size(), 8u) << "the run was too short to judge";

    // The first quarter is warm-up: the driver fills its pools and caches then. After it, the
    // last quarter may not hold more than the second did.
    const auto quarter = static_cast<std::ptrdiff_t>(samples.size() / 4);
    const long settled = Largest(samples.begin() + quarter, samples.begin() + 2 * quarter);
    const long final = Largest(samples.end() - quarter, samples.end());
    std::printf("resident memory over %zu samples: %ld KiB after warm-up, %ld KiB at the end\n", samples.size(),
                settled, final);
    EXPECT_LT(final - settled, 4096) << "resident memory grew from " << settled << " KiB to " << final << " KiB";
}
