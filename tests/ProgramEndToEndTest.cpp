// SPDX-License-Identifier: MIT
// The built program as a user meets it: under a private X server, started from its run folder,
// and without any display.
#include "FaultRun.h"
#include "RealProgram.h"
#include "X11Session.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace
{
using namespace std::chrono_literals;


class ProgramEndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.Running()) << "Xvfb did not start";
        session.Start(RunFolder, Program);
        window = session.WaitForWindow(Caption, 60s);
        ASSERT_NE(window, 0u) << "no window titled \"" << Caption << "\"";
    }

    X11Session session;
    unsigned long window = 0;
};
}

TEST_F(ProgramEndToEnd, EscapeEndsTheProgramWithStatusZero)
{
    session.Key(window, "Escape");
    EXPECT_EQ(session.WaitForExit(30s), std::optional<int>(0));
}

TEST_F(ProgramEndToEnd, CloseRequestEndsTheProgramWithStatusZero)
{
    session.RequestClose(window);
    EXPECT_EQ(session.WaitForExit(30s), std::optional<int>(0));
}

TEST_F(ProgramEndToEnd, TerminationSignalEndsTheProgramWithStatusZero)
{
    session.Signal(SIGTERM);
    EXPECT_EQ(session.WaitForExit(30s), std::optional<int>(0));
}

// SIGHUP, sent as the terminal the program was started from closes, ends it as SIGTERM does:
// status 0, with the inspector's layout saved as it shuts down (the inspector saves it then, and
// otherwise only when its window is moved or resized).
TEST(ProgramHangUp, EndsTheProgramAsTerminationDoesWithTheLayoutSaved)
{
    const std::string layout = std::string(std::getenv("XDG_STATE_HOME")) + "/merrowind/inspector.ini";
    std::filesystem::remove(layout);
    FaultRun run;
    ASSERT_TRUE(run.Launch());
    ASSERT_TRUE(run.OpenInspector());
    run.Session().Signal(SIGHUP);
    EXPECT_EQ(run.Session().WaitForExit(30s), std::optional<int>(0));
    std::ifstream saved(layout);
    EXPECT_NE(std::string(std::istreambuf_iterator<char>(saved), std::istreambuf_iterator<char>()).find("[Window][Inspector]"),
              std::string::npos);
}

// Without a display the program never runs unseen: it ends with E_FAIL's low byte, 5, whether the
// window system asked for fails (x11) or SDL would fall back to drawing off screen, and says on
// the standard error which displays it tried and why. --help and --version answer without one.
TEST(ProgramWithoutDisplay, EndsWithEFailAndSaysWhyButHelpAndVersionAnswer)
{
    struct Case
    {
        std::string command;
        int status;
        std::vector<std::string> output;
    };
    const Case cases[] = {
        {"SDL_VIDEODRIVER=x11 " + Program, 0x80004005 & 0xFF, {}},
        {Program,
         0x80004005 & 0xFF,
         {"merrowind: no display to open the window on; tried ", "x11 (DISPLAY is not set)",
          "wayland (XDG_RUNTIME_DIR is not set)"}},
        {Program + " --frames 3 --help", 0, {"usage: merrowind [--frames N] [--inspector VIEW] [--help] [--version]\n",
                                             "--frames N", "--inspector VIEW", "arrows", "drag", "F1", "F11", "F12",
                                             "Escape"}},
        {Program + " --version", 0, {"merrowind 1.0.0\n"}},
    };
    for (const Case& c : cases)
    {
        FILE* pipe = popen(("cd " + RunFolder + " && timeout 60 env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_RUNTIME_DIR "
                            "-u SDL_VIDEODRIVER " + c.command + " 2>&1").c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string output;
        char buffer[4096];
        for (std::size_t read; (read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            output.append(buffer, read);
        const int status = pclose(pipe);
        ASSERT_TRUE(WIFEXITED(status)) << c.command;
        EXPECT_EQ(WEXITSTATUS(status), c.status) << c.command;
        for (const std::string& expected : c.output)
            EXPECT_NE(output.find(expected), std::string::npos) << c.command << " said: " << output;
    }
}
