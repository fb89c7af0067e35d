// SPDX-License-Identifier: MIT
// The real program on a native Wayland desktop with a seat: sway's headless backend, drawn by
// pixman, as an ordinary user (sway refuses to run as root; a test run as root makes one). Keys
// come from wtype's virtual keyboard; the pointer is a virtual one that the test plugs into the
// seat, placed and pressed with `swaymsg seat - cursor`. Captures come from grim.
#include "Capture.h"
#include "RealProgram.h"
#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wayland-client.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <regex>
#include <string>
#include <thread>

namespace
{
using namespace std::chrono_literals;

constexpr const char* SwayUser = "merrowind-sway";
constexpr int OutputWidth = 800;
constexpr int OutputHeight = 600;

// wlroots' virtual pointer protocol (zwlr_virtual_pointer_manager_v1 and zwlr_virtual_pointer_v1),
// written out as wayland-scanner would: a pointer device a client adds to the seat. While it lives
// the seat offers a pointer, which swaymsg can place and press.
const wl_interface* NoTypes[] = {nullptr, nullptr, nullptr, nullptr, nullptr};
const wl_message VirtualPointerRequests[] = {
    {"motion", "uff", NoTypes},        {"motion_absolute", "uuuuu", NoTypes}, {"button", "uuu", NoTypes},
    {"axis", "uuf", NoTypes},          {"frame", "", NoTypes},                {"axis_source", "u", NoTypes},
    {"axis_stop", "uu", NoTypes},      {"axis_discrete", "uufi", NoTypes},    {"destroy", "", NoTypes},
};
const wl_interface VirtualPointerInterface = {"zwlr_virtual_pointer_v1", 1, 9, VirtualPointerRequests, 0, nullptr};
const wl_interface* CreateVirtualPointerTypes[] = {&wl_seat_interface, &VirtualPointerInterface};
const wl_message VirtualPointerManagerRequests[] = {
    {"create_virtual_pointer", "?on", CreateVirtualPointerTypes},
    {"destroy", "", NoTypes},
};
const wl_interface VirtualPointerManagerInterface = {"zwlr_virtual_pointer_manager_v1", 1, 2,
                                                     VirtualPointerManagerRequests, 0, nullptr};

// A mouse plugged into the compositor's seat for as long as it lives.
class VirtualPointer
{
public:
    explicit VirtualPointer(const std::string& socket)
    {
        display = wl_display_connect(socket.c_str());
        if (display == nullptr)
            return;
        wl_registry* registry = wl_display_get_registry(display);
        wl_registry_add_listener(registry, &Listener, this);
        wl_display_roundtrip(display);
        if (seat != nullptr && manager != nullptr)
            pointer = static_cast<wl_proxy*>(wl_proxy_marshal_constructor(
                manager, 0, &VirtualPointerInterface, seat, nullptr));
        plugged = pointer != nullptr && wl_display_roundtrip(display) >= 0;
        wl_registry_destroy(registry);
    }

    ~VirtualPointer()
    {
        if (display != nullptr)
            wl_display_disconnect(display);
    }

    bool Plugged() const { return plugged; }

    // Relative motion, as a mouse reports it. sway 1.7 holds back the motion of `swaymsg seat -
    // cursor move` while a button is down until its release, so a drag moves with the device.
    void Move(double dx, double dy)
    {
        wl_proxy_marshal(pointer, MotionRequest, ++time, wl_fixed_from_double(dx), wl_fixed_from_double(dy));
        wl_proxy_marshal(pointer, FrameRequest);
        wl_display_roundtrip(display);
    }

private:
    static void AddGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t)
    {
        auto* self = static_cast<VirtualPointer*>(data);
        if (std::string(interface) == wl_seat_interface.name)
            self->seat = static_cast<wl_proxy*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
        if (std::string(interface) == VirtualPointerManagerInterface.name)
            self->manager = static_cast<wl_proxy*>(wl_registry_bind(registry, name, &VirtualPointerManagerInterface, 1));
    }
    static void RemoveGlobal(void*, wl_registry*, uint32_t) {}
    static constexpr wl_registry_listener Listener = {AddGlobal, RemoveGlobal};
    static constexpr uint32_t MotionRequest = 0;
    static constexpr uint32_t FrameRequest = 4;

    wl_display* display = nullptr;
    wl_proxy* seat = nullptr;
    wl_proxy* manager = nullptr;
    wl_proxy* pointer = nullptr;
    bool plugged = false;
    uint32_t time = 0;
};

// A private sway on its own runtime folder, as the ordinary user when the test runs as root, with
// a copy of the run folder that user can read.
class SwaySession
{
public:
    SwaySession()
    {
        const bool root = getuid() == 0;
        if (root && std::system(("id -u " + std::string(SwayUser) + " >/dev/null 2>&1 || useradd --system "
                                 "--no-create-home --shell /usr/sbin/nologin " + SwayUser).c_str()) != 0)
            return;
        chmod(scratch.PathOf("").c_str(), 0755);
        const std::string owner = root ? std::string(" && chown -R ") + SwayUser + " " : " && true ";
        if (std::system(("mkdir -m 700 " + Path("runtime") + " && mkdir " + Path("home") + " && cp -r " + RunFolder +
                         " " + Path("run") + " && chmod -R a+rX " + Path("run") + owner + Path("runtime") + " " +
                         Path("home"))
                            .c_str()) != 0)
            return;
        scratch.Write("config", "output HEADLESS-1 resolution " + std::to_string(OutputWidth) + "x" +
                                    std::to_string(OutputHeight) + "\ndefault_border none\n");
        user = root ? "runuser -u " + std::string(SwayUser) + " -- " : "";
        user += "env -i PATH=/usr/bin:/bin HOME=" + Path("home") + " XDG_RUNTIME_DIR=" + Path("runtime") + " ";
        compositor = Spawn(user + "WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman sway -c " +
                           Path("config") + " >" + Path("sway.log") + " 2>&1");
        for (int wait = 0; wait < 200 && (socket.empty() || ipc.empty()); ++wait)
        {
            std::this_thread::sleep_for(50ms);
            FindSockets();
        }
        user += "WAYLAND_DISPLAY=" + socket + " SWAYSOCK=" + ipc + " ";
    }

    ~SwaySession()
    {
        if (program > 0)
        {
            kill(program, SIGKILL);
            waitpid(program, nullptr, 0);
        }
        if (compositor > 0)
        {
            Run("swaymsg exit");
            if (!Reaped(compositor, 10s))
            {
                kill(compositor, SIGKILL);
                waitpid(compositor, nullptr, 0);
            }
        }
    }

    bool Ready() const { return !socket.empty() && !ipc.empty(); }
    std::string SocketPath() const { return Path("runtime/" + socket); }

    // The program, natively on Wayland, from its copied run folder.
    void StartProgram()
    {
        program = Spawn(user + "SDL_VIDEODRIVER=wayland ./merrowind", Path("run"));
    }

    std::optional<int> WaitForExit(std::chrono::milliseconds timeout)
    {
        int status = 0;
        if (!Reaped(program, timeout, &status))
            return std::nullopt;
        program = -1;
        return WIFEXITED(status) ? std::optional<int>(WEXITSTATUS(status)) : std::nullopt;
    }

    // A command as the session's user, on its display.
    int Run(const std::string& command) const { return std::system((user + command + " >/dev/null 2>&1").c_str()); }

    // Keys through a virtual keyboard that stays long enough for the program to take the keyboard
    // the seat gains with it.
    int Keys(const std::string& keys) const { return Run("wtype -s 1000 " + keys + " -s 500"); }

    // Escape, pressed again while the program goes on (a busy program may take up the keyboard the
    // seat gains too late for one press); the program's exit status.
    std::optional<int> EndWithEscape()
    {
        for (int press = 0; press < 5; ++press)
        {
            Keys("-k Escape");
            if (const std::optional<int> status = WaitForExit(10s))
                return status;
        }
        return std::nullopt;
    }

    Capture CaptureOutput() const
    {
        Capture capture;
        FILE* pipe = popen((user + "grim - | convert png:- ppm:-").c_str(), "r");
        if (pipe != nullptr)
        {
            capture.ReadPpm(pipe);
            pclose(pipe);
        }
        return capture;
    }

    // The rectangle sway gives the program's window, in the output's logical units: x, y, width
    // and height, or nothing while it has none.
    std::vector<int> WindowRectangle() const
    {
        std::string tree;
        FILE* pipe = popen((user + "swaymsg -t get_tree").c_str(), "r");
        if (pipe == nullptr)
            return {};
        char buffer[4096];
        for (std::size_t read; (read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            tree.append(buffer, read);
        pclose(pipe);
        const std::size_t name = tree.find("\"name\": \"" + Caption + "\"");
        const std::size_t rect = name == std::string::npos ? name : tree.rfind("\"rect\": {", name);
        std::smatch match;
        const std::string node = rect == std::string::npos ? "" : tree.substr(rect, name - rect);
        if (!std::regex_search(node, match,
                               std::regex("\"x\": (-?\\d+),\\s*\"y\": (-?\\d+),\\s*\"width\": (\\d+),\\s*\"height\": (\\d+)")))
            return {};
        return {std::stoi(match[1]), std::stoi(match[2]), std::stoi(match[3]), std::stoi(match[4])};
    }

private:
    std::string Path(const std::string& name) const { return scratch.PathOf(name); }

    static pid_t Spawn(const std::string& command, const std::string& folder = "/")
    {
        const pid_t child = fork();
        if (child == 0)
        {
            if (chdir(folder.c_str()) != 0)
                _exit(127);
            execl("/bin/sh", "sh", "-c", ("exec " + command).c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        return child;
    }

    static bool Reaped(pid_t child, std::chrono::milliseconds timeout, int* status = nullptr)
    {
        int ignored = 0;
        for (auto waited = 0ms; waited < timeout; waited += 100ms)
        {
            if (waitpid(child, status != nullptr ? status : &ignored, WNOHANG) == child)
                return true;
            std::this_thread::sleep_for(100ms);
        }
        return false;
    }

    void FindSockets()
    {
        std::error_code missing;
        for (const auto& entry : std::filesystem::directory_iterator(Path("runtime"), missing))
        {
            const std::string name = entry.path().filename().string();
            if (name.rfind("wayland-", 0) == 0 && name.find(".lock") == std::string::npos)
                socket = name;
            if (name.rfind("sway-ipc.", 0) == 0)
                ipc = entry.path().string();
        }
    }

    ScratchFolder scratch;
    std::string user;
    std::string socket;
    std::string ipc;
    pid_t compositor = -1;
    pid_t program = -1;
};

double MeanDifference(const Capture& first, const Capture& second)
{
    if (first.rgb.size() != second.rgb.size() || first.rgb.empty())
        return 0.0;
    double sum = 0.0;
    for (std::size_t i = 0; i < first.rgb.size(); ++i)
        sum += std::abs(first.rgb[i] - second.rgb[i]);
    return sum / static_cast<double>(first.rgb.size());
}

// Waits until two captures a second apart differ: the program draws its frames.
Capture WhenDrawing(const SwaySession& session)
{
    Capture before = session.CaptureOutput();
    for (int attempt = 0; attempt < 40; ++attempt)
    {
        std::this_thread::sleep_for(1s);
        Capture after = session.CaptureOutput();
        if (MeanDifference(before, after) > 0.0)
            return after;
        before = after;
    }
    return Capture{};
}

// Waits until the view has come to rest after an input, the frames in flight drawn: two captures a
// second apart differ by no more than the water's motion does.
Capture AtRest(const SwaySession& session, double animation)
{
    Capture before = session.CaptureOutput();
    for (int attempt = 0; attempt < 20; ++attempt)
    {
        std::this_thread::sleep_for(1s);
        Capture after = session.CaptureOutput();
        if (MeanDifference(before, after) <= 1.5 * animation + 0.5)
            return after;
        before = after;
    }
    return before;
}

// What keeps the capture from showing the picture filling it at its full resolution, or nothing:
// the previews end at 60 / 480 of its height, the corner opposite them holds the scene, not the
// desktop's flat background, and neighbouring columns differ as they do in a picture drawn for
// every pixel, not one magnified from half as many.
std::string SceneFillingProblem(const Capture& capture)
{
    if (capture.width <= 200)
        return "a capture " + std::to_string(capture.width) + " wide";
    std::string problems;
    const int previewsBottom = static_cast<int>(std::lround(60.0 * capture.height / 480.0));
    if (HorizontalEdge(capture, previewsBottom, 5, capture.width / 4 - 5) <= 1.5)
        problems += "no preview edge at y = " + std::to_string(previewsBottom) + "; ";
    int pairs = 0, twins = 0, distinct = 0;
    const unsigned char* corner = capture.Pixel(capture.width - 1, capture.height - 1);
    for (int y = capture.height / 2; y < capture.height; y += 3)
    {
        for (int x = 0; x + 1 < capture.width; x += 2, ++pairs)
        {
            twins += std::equal(capture.Pixel(x, y), capture.Pixel(x, y) + 3, capture.Pixel(x + 1, y));
            distinct += !std::equal(corner, corner + 3, capture.Pixel(x, y)) && x > capture.width / 2;
        }
    }
    if (distinct <= pairs / 8)
        problems += "the lower right quarter is one colour; ";
    if (twins >= pairs / 3)
        problems += std::to_string(twins) + " of " + std::to_string(pairs) + " column pairs are alike";
    return problems;
}

// Once the program draws, waits until its picture fills the capture: on a busy machine the first
// frames may still be the ones drawn before the window took its size. The last capture where it
// never does.
Capture WhenFilling(const SwaySession& session)
{
    Capture capture = WhenDrawing(session);
    for (int attempt = 0; attempt < 30 && !capture.rgb.empty() && !SceneFillingProblem(capture).empty(); ++attempt)
    {
        std::this_thread::sleep_for(1s);
        capture = session.CaptureOutput();
    }
    return capture;
}
}

// One session: the scene natively filling the window sway tiles over the whole output, keys that
// walk the camera, a drag that turns it, Escape that ends it with status 0; then at output scale 2
// the program fills its window, half as many logical units, with the output's pixels.
TEST(SwayEndToEnd, DrawsNativelyFillingItsTileFollowsKeysAndDragsAndAtScaleTwoUsesEveryPixel)
{
    SwaySession session;
    ASSERT_TRUE(session.Ready()) << "sway did not start";
    VirtualPointer mouse(session.SocketPath());
    ASSERT_TRUE(mouse.Plugged()) << "no virtual pointer";
    session.StartProgram();
    const Capture first = WhenFilling(session);
    ASSERT_FALSE(first.rgb.empty()) << "no frames";
    EXPECT_EQ(session.WindowRectangle(), (std::vector<int>{0, 0, OutputWidth, OutputHeight}));
    EXPECT_EQ(SceneFillingProblem(first), "");

    // Frames a second apart differ by the water's motion alone; a walk or a turn moves the view.
    const double animation = MeanDifference(first, session.CaptureOutput());
    ASSERT_EQ(session.Keys("-k Up -k Up -k Up -k Up -k Up -k Up -k Up -k Up -k Up -k Up"), 0);
    const Capture walked = AtRest(session, animation);
    EXPECT_GT(MeanDifference(first, walked), 4.0 * animation + 2.0) << "the keys did not walk the camera";
    ASSERT_EQ(session.Run("swaymsg seat - cursor set 400 300"), 0);
    ASSERT_EQ(session.Run("swaymsg seat - cursor press button1"), 0);
    mouse.Move(150.0, 0.0);
    mouse.Move(150.0, 0.0);
    ASSERT_EQ(session.Run("swaymsg seat - cursor release button1"), 0);
    const Capture turned = AtRest(session, animation);
    EXPECT_GT(MeanDifference(walked, turned), 4.0 * animation + 2.0) << "the drag did not turn the camera";
    RecordProperty("meanDifferences", "animation " + std::to_string(animation) + ", keys " +
                                          std::to_string(MeanDifference(first, walked)) + ", drag " +
                                          std::to_string(MeanDifference(walked, turned)));
    ASSERT_EQ(session.EndWithEscape(), std::optional<int>(0));

    // SDL 2.26 takes an output's scale when its window enters the output, so the program starts
    // on the scaled output.
    ASSERT_EQ(session.Run("swaymsg output HEADLESS-1 scale 2"), 0);
    session.StartProgram();
    const Capture scaled = WhenFilling(session);
    ASSERT_FALSE(scaled.rgb.empty()) << "no frames at scale 2";
    EXPECT_EQ(session.WindowRectangle(), (std::vector<int>{0, 0, OutputWidth / 2, OutputHeight / 2}));
    EXPECT_EQ(scaled.width, OutputWidth);
    EXPECT_EQ(SceneFillingProblem(scaled), "");
    EXPECT_EQ(session.EndWithEscape(), std::optional<int>(0));
    if (HasFailure())
    {
        first.SavePng(::testing::TempDir() + "sway-first.png");
        turned.SavePng(::testing::TempDir() + "sway-turned.png");
        scaled.SavePng(::testing::TempDir() + "sway-scale-2.png");
    }
}
