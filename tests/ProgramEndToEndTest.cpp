// The built program as a user meets it: under a private X server, started from its run folder.
#include "RealProgram.h"
#include "X11Session.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <csignal>
#include <cstdlib>

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

TEST(ProgramWithoutDisplay, WindowThatCannotBeCreatedEndsWithEFail)
{
    const int status = std::system(("cd " + RunFolder + " && env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11 " +
                                    Program + " >/dev/null 2>&1").c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0x80004005 & 0xFF);
}
