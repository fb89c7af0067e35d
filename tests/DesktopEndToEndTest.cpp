// SPDX-License-Identifier: MIT
// The real program on the desktops users have: under a window manager that frames it (openbox),
// on Wayland (weston) with and without a seat and an X server beside it, and on a driver too old
// for its programs.
#include "FaultRun.h"
#include "RealProgram.h"
#include "SanitizedBuild.h"
#include "ScratchFolder.h"
#include "X11Session.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

namespace
{
using namespace std::chrono_literals;

constexpr int OuterWidth = 640;
constexpr int OuterHeight = 480;
constexpr int OuterX = 100;
constexpr int OuterY = 100;

std::string ReadText(const std::string& path)
{
    std::ostringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

// The previews fill the top-left eighth of the width and 60 of 480 rows of a client area drawn
// at its real size. A picture drawn for the outer size in the smaller client loses its top rows,
// and the previews end 25 rows higher.
void ExpectPreviewsInTheCorner(const Capture& capture)
{
    ASSERT_GT(capture.width, 170);
    const int previewsBottom = static_cast<int>(std::lround(60.0 * capture.height / 480.0));
    EXPECT_GT(HorizontalEdge(capture, previewsBottom, 5, capture.width / 4 - 5), 1.5)
        << "no preview edge at y = " << previewsBottom;
}

// Captures until two in a row differ: frames are being drawn.
bool Changes(const X11Session& session, unsigned long window)
{
    Capture before = session.CaptureWindow(window);
    for (int attempt = 0; attempt < 100; ++attempt)
    {
        std::this_thread::sleep_for(100ms);
        const Capture after = session.CaptureWindow(window);
        if (after.width == before.width && after.height == before.height && after.rgb != before.rgb)
            return true;
        before = after;
    }
    return false;
}

// Waits until the window's client area (or, with `measure`, its frame) is `area`, as the window
// manager takes its time on a loaded machine; whether it came to be.
bool ComesTo(const X11Session& session, unsigned long window, const Rectangle& area,
             Rectangle (X11Session::*measure)(unsigned long) const = &X11Session::ClientArea)
{
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (!((session.*measure)(window) == area) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(100ms);
    return (session.*measure)(window) == area;
}

// The first change may be the first frame after start-up; the second is the water's animation.
bool Animates(const X11Session& session, unsigned long window)
{
    return Changes(session, window) && Changes(session, window);
}

class OpenboxEndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.Running()) << "Xvfb with openbox did not start";
        session.Start(RunFolder, Program);
        window = session.WaitForWindow(Caption, 60s);
        ASSERT_NE(window, 0u);
    }

    // The client area inside the frame that openbox says it drew.
    Rectangle ExpectedClientArea() const
    {
        const std::vector<long> extents = session.FrameExtents(window);
        EXPECT_EQ(extents.size(), 4u);
        if (extents.size() != 4)
            return {};
        const int left = static_cast<int>(extents[0]), right = static_cast<int>(extents[1]);
        const int top = static_cast<int>(extents[2]), bottom = static_cast<int>(extents[3]);
        EXPECT_GT(top, 0) << "openbox draws a title bar";
        return Rectangle{OuterX + left, OuterY + top, OuterWidth - left - right, OuterHeight - top - bottom};
    }

    X11Session session{X11Session::Desktop::Openbox};
    unsigned long window = 0;
};

// What a user does through the window manager's frame, and whether the program should end.
struct FrameAction
{
    const char* name;
    std::vector<std::string> commands;  // %W stands for the window
    bool ends;
    // After the first command nothing of the window can be seen: the program should sleep.
    bool hidden = false;
    // Where the frame stands once each command has taken effect, for the actions that move it.
    std::vector<Rectangle> frames = {};
};

// Processor time of all the process's threads, user and system, from the kernel's record.
double ProcessorSeconds(pid_t process)
{
    std::istringstream fields(ReadText("/proc/" + std::to_string(process) + "/stat"));
    std::string field;
    std::getline(fields, field, ')');
    double ticks = 0.0;
    for (int index = 3; index <= 15 && fields >> field; ++index)
        if (index >= 14)
            ticks += std::stod(field);
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Over two seconds a program that waits for its next event uses well under 5 % of a core; one
// that draws uses far more, however busy the machine (a sixth of a core beside four builds).
void ExpectIdle(pid_t process)
{
    constexpr double Watched = 2.0;
    const double before = ProcessorSeconds(process);
    std::this_thread::sleep_for(std::chrono::duration<double>(Watched));
    EXPECT_LT(ProcessorSeconds(process) - before, 0.05 * Watched) << "processor seconds while nothing can be seen";
}

void PrintTo(const FrameAction& action, std::ostream* out)
{
    *out << action.name;
}

const FrameAction FrameActions[] = {
    {"CloseButton", {"wmctrl -i -c %W"}, true},
    {"MinimiseAndRestore", {"xdotool windowminimize --sync %W", "wmctrl -i -a %W"}, false, true},
    {"MoveAndBack",
     {"wmctrl -i -r %W -e 0,300,200,-1,-1", "wmctrl -i -r %W -e 0,100,100,-1,-1"},
     false,
     false,
     {{300, 200, OuterWidth, OuterHeight}, {OuterX, OuterY, OuterWidth, OuterHeight}}},
};

class OpenboxFrameAction : public OpenboxEndToEnd, public ::testing::WithParamInterface<FrameAction>
{
};
}

TEST_F(OpenboxEndToEnd, WholeWindowIs640By480At100And100AndTheClientWhatTheBordersLeave)
{
    EXPECT_EQ(session.Frame(window), (Rectangle{OuterX, OuterY, OuterWidth, OuterHeight}));
    EXPECT_EQ(session.ClientArea(window), ExpectedClientArea());
    ASSERT_TRUE(Animates(session, window));
    ExpectPreviewsInTheCorner(session.CaptureWindow(window));
    session.Key(window, "Escape");
    EXPECT_EQ(session.WaitForExit(30s), std::optional<int>(0));
}

TEST_P(OpenboxFrameAction, EndsOrGoesOnAtTheFullClientSize)
{
    const FrameAction& action = GetParam();
    ASSERT_TRUE(Animates(session, window));
    const std::string id = std::to_string(window);
    for (std::size_t step = 0; step < action.commands.size(); ++step)
    {
        const std::string& command = action.commands[step];
        ASSERT_EQ(session.Run(std::regex_replace(command, std::regex("%W"), id)), 0) << command;
        if (step < action.frames.size())
            ASSERT_TRUE(ComesTo(session, window, action.frames[step], &X11Session::Frame))
                << command << ": the frame stands at " << ::testing::PrintToString(session.Frame(window));
        else
            std::this_thread::sleep_for(300ms);
        if (action.hidden && step == 0)
            ExpectIdle(session.ProgramId());
    }
    if (action.ends)
    {
        EXPECT_EQ(session.WaitForExit(30s), std::optional<int>(0));
        return;
    }
    EXPECT_TRUE(ComesTo(session, window, ExpectedClientArea()));
    ASSERT_TRUE(Animates(session, window)) << "no frames after " << action.name;
    ExpectPreviewsInTheCorner(session.CaptureWindow(window));
    session.Key(window, "Escape");
    EXPECT_EQ(session.WaitForExit(30s), std::optional<int>(0));
}

INSTANTIATE_TEST_SUITE_P(Openbox, OpenboxFrameAction, ::testing::ValuesIn(FrameActions),
                         [](const ::testing::TestParamInfo<FrameAction>& info) { return info.param.name; });

namespace
{
class FullScreen : public ::testing::TestWithParam<X11Session::Desktop>
{
};
}

// F11 on both kinds of X11 desktop: the window manager shows the window full screen, or without
// one the window covers the screen by itself. The scene is drawn at the screen's size (previews
// an eighth of its width, not a 640 x 480 picture in a corner), and F11 again gives the window
// back at its size and place.
TEST_P(FullScreen, F11FillsTheScreenWithTheSceneAndF11AgainGivesTheWindowBack)
{
    X11Session session(GetParam());
    ASSERT_TRUE(session.Running());
    session.Start(RunFolder, Program);
    const unsigned long window = session.WaitForWindow(Caption, 60s);
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(Animates(session, window));
    const Rectangle frame = session.Frame(window);
    const Rectangle client = session.ClientArea(window);
    EXPECT_EQ(frame, (Rectangle{OuterX, OuterY, OuterWidth, OuterHeight}));

    session.Key(window, "F11");
    ASSERT_TRUE(ComesTo(session, window, Rectangle{0, 0, 1024, 768}));
    ASSERT_TRUE(Animates(session, window));
    const Capture full = session.CaptureWindow(window);
    ExpectPreviewsInTheCorner(full);
    EXPECT_GT(VerticalEdge(full, 128, 5, 90), 1.5) << "no preview edge at x = 128";
    EXPECT_GT(VerticalEdge(full, 256, 5, 90), 1.5) << "no preview edge at x = 256";

    session.Key(window, "F11");
    EXPECT_TRUE(ComesTo(session, window, client));
    EXPECT_EQ(session.Frame(window), frame);
    ASSERT_TRUE(Animates(session, window));
    ExpectPreviewsInTheCorner(session.CaptureWindow(window));
    if (HasFailure())
        full.SavePng(::testing::TempDir() + "full-screen.png");
    session.Key(window, "Escape");
    EXPECT_EQ(session.WaitForExit(30s), std::optional<int>(0));
}

INSTANTIATE_TEST_SUITE_P(X11, FullScreen, ::testing::Values(X11Session::Desktop::Bare, X11Session::Desktop::Openbox),
                         [](const ::testing::TestParamInfo<X11Session::Desktop>& info) {
                             return info.param == X11Session::Desktop::Bare ? "WithoutAWindowManager" : "Openbox";
                         });

namespace
{
// A weston compositor of the test's own, with its own runtime folder, socket and log.
class Weston
{
public:
    // Headless: no output window and no input devices, so no seat; with `xwayland` weston also
    // serves X11 programs.
    Weston(const X11Session& session, bool xwayland)
    {
        chmod(runtime.PathOf("").c_str(), 0700);
        compositor = fork();
        if (compositor == 0)
        {
            setenv("XDG_RUNTIME_DIR", runtime.PathOf("").c_str(), 1);
            setenv("DISPLAY", session.DisplayName().c_str(), 1);
            const int devNull = open("/dev/null", O_WRONLY);
            dup2(devNull, STDOUT_FILENO);
            dup2(devNull, STDERR_FILENO);
            const std::string log = "--log=" + runtime.PathOf("weston.log");
            std::vector<const char*> argv = {"weston",
                                             "--backend=headless-backend.so",
                                             "--socket=merrowind-test",
                                             log.c_str(),
                                             "--use-pixman",
                                             "--width=800",
                                             "--height=600",
                                             "--idle-time=0"};
            if (xwayland)
                argv.push_back("--xwayland");
            argv.push_back(nullptr);
            execvp("weston", const_cast<char* const*>(argv.data()));
            _exit(127);
        }
        ready = WaitFor([&] { return std::filesystem::exists(runtime.PathOf("merrowind-test")); }) &&
                (!xwayland || WaitFor([&] { return ReadXWaylandDisplay(); }));
    }

    ~Weston()
    {
        kill(compositor, SIGTERM);
        waitpid(compositor, nullptr, 0);
    }

    bool Ready() const { return ready; }

    // What the program needs to be a client of this compositor, with SDL told to use Wayland:
    // XWayland's display, or none.
    std::vector<std::string> ClientEnvironment(const std::string& recordFile) const
    {
        return {"WAYLAND_DISPLAY=merrowind-test", "XDG_RUNTIME_DIR=" + runtime.PathOf(""), "SDL_VIDEODRIVER=wayland",
                xwaylandDisplay.empty() ? "DISPLAY" : "DISPLAY=" + xwaylandDisplay,
                "MERROWIND_MESSAGE_BOX_RECORD=" + recordFile};
    }

private:
    template <typename Condition>
    static bool WaitFor(Condition condition)
    {
        for (int wait = 0; wait < 300; ++wait)
        {
            if (condition())
                return true;
            std::this_thread::sleep_for(50ms);
        }
        return false;
    }

    bool ReadXWaylandDisplay()
    {
        std::smatch match;
        const std::string log = ReadText(runtime.PathOf("weston.log"));
        if (!std::regex_search(log, match, std::regex("xserver listening on display (:[0-9]+)")))
            return false;
        xwaylandDisplay = match[1];
        return true;
    }

    ScratchFolder runtime;
    pid_t compositor = -1;
    bool ready = false;
    std::string xwaylandDisplay;
};

class WaylandEndToEnd : public ::testing::Test
{
protected:
    std::string Boxes() const { return ReadText(record.PathOf("boxes.txt")); }

    X11Session session;
    ScratchFolder record;
};
}

namespace
{
// A headless compositor offers no seat, on which SDL 2.26 cannot start: the program takes the X
// server beside it (XWayland), or says why it cannot open a window.
struct HeadlessCase
{
    const char* name;
    bool xwayland;
    int status;
    const char* boxes;
};

void PrintTo(const HeadlessCase& test, std::ostream* out)
{
    *out << test.name;
}

const HeadlessCase HeadlessCases[] = {
    {"WithXWayland", true, 0, ""},
    // The box wraps its text at 120 characters; the record shows it as the box does.
    {"WithoutAnXServer", false, 0x80004005 & 0xFF,
     "Merrowind: Could not open a window: The Wayland desktop offers no keyboard or pointer (no seat), which SDL "
     "needs; the program uses the desktop's X server\n    (XWayland) instead, and found none: x11 not available\n"},
};

class HeadlessWeston : public WaylandEndToEnd, public ::testing::WithParamInterface<HeadlessCase>
{
};
}

TEST_P(HeadlessWeston, RendersItsFramesThroughXWaylandOrSaysWhyItCannotNeverCrashing)
{
    const HeadlessCase& test = GetParam();
    ASSERT_TRUE(session.Running());
    Weston weston(session, test.xwayland);
    ASSERT_TRUE(weston.Ready());
    session.Start(RunFolder, Program, {"--frames", "20"}, weston.ClientEnvironment(record.PathOf("boxes.txt")));
    EXPECT_EQ(session.WaitForExit(60s), std::optional<int>(test.status));
    EXPECT_EQ(Boxes(), test.boxes);
}

INSTANTIATE_TEST_SUITE_P(Weston, HeadlessWeston, ::testing::ValuesIn(HeadlessCases),
                         [](const ::testing::TestParamInfo<HeadlessCase>& info) { return info.param.name; });

// A driver that offers only GLSL 1.30 is told once what the programs need, and the program goes
// on drawing what it can without them until it is ended.
TEST(OldDriverEndToEnd, SaysOnceWhatTheProgramsNeedAndGoesOn)
{
    FaultRun run;
    setenv("MESA_GL_VERSION_OVERRIDE", "3.0", 1);
    setenv("MESA_GLSL_VERSION_OVERRIDE", "130", 1);
    const bool launched = run.Launch();
    unsetenv("MESA_GL_VERSION_OVERRIDE");
    unsetenv("MESA_GLSL_VERSION_OVERRIDE");
    ASSERT_TRUE(launched);
    EXPECT_EQ(run.DismissBoxes(1), std::vector<std::string>{"Driver too old!"});
    EXPECT_TRUE(run.FollowsTheCamera());
    EXPECT_EQ(run.Quit(), std::optional<int>(0));
    const std::vector<std::string> reports = run.Reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].rfind("Driver too old!: Merrowind needs OpenGL 4.1, or OpenGL 3.3 with GLSL 3.30 and "
                               "GL_ARB_separate_shader_objects.\n    This driver offers OpenGL 3.0 ",
                               0),
              0u)
        << reports[0];
    EXPECT_EQ(reports[0].substr(reports[0].size() - 12), ", GLSL 1.30.") << reports[0];
}

namespace
{
// The output of a shell command, or nothing when it fails.
std::optional<std::string> Output(const std::string& command)
{
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return std::nullopt;
    std::string output;
    char buffer[4096];
    for (std::size_t read; (read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, read);
    return pclose(pipe) == 0 ? std::optional<std::string>(output) : std::nullopt;
}

// A checking tool's whole report with its exit status on the last line, for the failure message.
std::string Verdict(const std::string& command)
{
    return Output(command + " 2>&1; echo \"exit $?\"").value_or("the shell did not run");
}

bool Passed(const std::string& verdict)
{
    return verdict.size() >= 7 && verdict.compare(verdict.size() - 7, 7, "exit 0\n") == 0;
}
}

// The Debian package as a user gets it: made by CPack from this build, with the libraries the
// program links as its dependencies; clean to Debian's and the software centres' checkers;
// unpacked into a scratch root, from where the launcher starts the installed program in its data
// folder whatever the working folder.
TEST(PackageEndToEnd, PackagePassesTheCheckersAndItsLauncherRunsTheProgram)
{
    ScratchFolder scratch;
    const std::string build = std::filesystem::path(RunFolder).parent_path().string();
    const std::optional<std::string> deb =
        Output("cd " + build + " && cpack -G DEB -B " + scratch.PathOf("package") + " >/dev/null 2>&1 && ls " +
               scratch.PathOf("package") + "/merrowind_*.deb");
    ASSERT_TRUE(deb.has_value()) << "cpack failed";
    const std::string package = deb->substr(0, deb->find('\n'));
    const std::string depends = Output("dpkg-deb -f " + package + " Depends").value_or("");
    for (const char* library : {"libsdl2-2.0-0", "libepoxy0", "libglu1-mesa", "libx11-6", "libwayland-client0"})
        EXPECT_NE(depends.find(library), std::string::npos) << library << " missing from: " << depends;
    // Informational tags shown too, since lintian counts a missing hardening flag as one.
    const std::string lintian = Verdict("lintian -I --pedantic --fail-on error,warning " + package);
    EXPECT_TRUE(Passed(lintian)) << lintian;
    // The sanitized build is left unhardened on purpose: FORTIFY would abort before the sanitizer
    // could report.
    if (!SanitizedBuild)
    {
        EXPECT_EQ(lintian.find("hardening-"), std::string::npos) << lintian;
    }

    const std::string root = scratch.PathOf("root");
    ASSERT_EQ(std::system(("dpkg-deb -x " + package + " " + root).c_str()), 0);
    const std::string id = "io.github.merrowind.merrowind";
    const std::string entryFile = root + "/usr/share/applications/" + id + ".desktop";
    const std::string desktop = Verdict("desktop-file-validate " + entryFile);
    EXPECT_TRUE(Passed(desktop)) << desktop;
    const std::string appstream =
        Verdict("appstreamcli validate --no-net --pedantic " + root + "/usr/share/metainfo/" + id + ".metainfo.xml");
    EXPECT_TRUE(Passed(appstream)) << appstream;
    const std::string entry = ReadText(entryFile);
    EXPECT_NE(entry.find("\nExec=merrowind\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nIcon=merrowind\n"), std::string::npos) << entry;
    Capture icon;
    EXPECT_TRUE(icon.Load(root + "/usr/share/icons/hicolor/128x128/apps/merrowind.png"));
    EXPECT_EQ(icon.width, 128);
    // Control-flow protection is left out: Debian 12's build flags do not ask for it, and the
    // static Dear ImGui library it links is built without, so the linker rightly leaves the
    // program unmarked.
    if (!SanitizedBuild)
    {
        const std::string hardening =
            Verdict("hardening-check --nocfprotection " + root + "/usr/libexec/merrowind/merrowind");
        EXPECT_TRUE(Passed(hardening)) << hardening;
    }

    X11Session session;
    ASSERT_TRUE(session.Running());
    session.Start("/", root + "/usr/bin/merrowind", {"--frames", "5"},
                  {"MERROWIND_MESSAGE_BOX_RECORD=" + scratch.PathOf("boxes.txt")});
    EXPECT_EQ(session.WaitForExit(60s), std::optional<int>(0));
    EXPECT_EQ(ReadText(scratch.PathOf("boxes.txt")), "") << "the installed program missed some of its files";
}
