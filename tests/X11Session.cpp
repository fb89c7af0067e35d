// SPDX-License-Identifier: MIT
#include "X11Session.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <thread>

namespace
{
using namespace std::chrono_literals;

std::string ReadDisplayNumber(int fd)
{
    std::string number;
    char c;
    while (read(fd, &c, 1) == 1 && c != '\n')
        number += c;
    return number;
}

// Windows of other clients come and go while we look at them; a vanished window is no failure.
int IgnoreXErrors(Display*, XErrorEvent*)
{
    return 0;
}

std::vector<unsigned long> ChildWindows(Display* connection, Window window)
{
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    std::vector<unsigned long> windows;
    if (XQueryTree(connection, window, &root, &parent, &children, &count))
    {
        windows.assign(children, children + count);
        XFree(children);
    }
    return windows;
}

// The programs' windows: children of the root, or under a window manager children of its frames.
std::vector<unsigned long> TopLevelWindows(Display* connection, bool framed)
{
    std::vector<unsigned long> windows = ChildWindows(connection, DefaultRootWindow(connection));
    if (!framed)
        return windows;
    std::vector<unsigned long> clients;
    for (unsigned long frame : windows)
    {
        const std::vector<unsigned long> children = ChildWindows(connection, frame);
        clients.insert(clients.end(), children.begin(), children.end());
    }
    return clients;
}
}

X11Session::X11Session(Desktop desktop)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return;
    server = fork();
    if (server == 0)
    {
        close(pipeFds[0]);
        const std::string fd = std::to_string(pipeFds[1]);
        int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, STDERR_FILENO);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
               "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    display = ":" + ReadDisplayNumber(pipeFds[0]);
    close(pipeFds[0]);
    XSetErrorHandler(IgnoreXErrors);
    connection = display.size() > 1 ? XOpenDisplay(display.c_str()) : nullptr;
    if (connection == nullptr || (desktop == Desktop::Openbox && !StartWindowManager()))
    {
        kill(server, SIGTERM);
        waitpid(server, nullptr, 0);
        server = -1;
    }
}

// Starts openbox and waits until it manages the screen: it names its check window on the root and
// lists what it supports there, which a program reads as it starts (a busy machine has shown the
// first without the second).
bool X11Session::StartWindowManager()
{
    windowManager = fork();
    if (windowManager == 0)
    {
        setenv("DISPLAY", display.c_str(), 1);
        int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, STDOUT_FILENO);
        dup2(devNull, STDERR_FILENO);
        execlp("openbox", "openbox", "--sm-disable", static_cast<char*>(nullptr));
        _exit(127);
    }
    const auto itemsOnRoot = [this](const char* property, Atom kind)
    {
        Atom type;
        int format;
        unsigned long count = 0, remaining;
        unsigned char* data = nullptr;
        XGetWindowProperty(connection, DefaultRootWindow(connection), XInternAtom(connection, property, False), 0, 1,
                           False, kind, &type, &format, &count, &remaining, &data);
        XFree(data);
        return count;
    };
    for (int wait = 0; wait < 400; ++wait)
    {
        if (itemsOnRoot("_NET_SUPPORTING_WM_CHECK", XA_WINDOW) == 1 && itemsOnRoot("_NET_SUPPORTED", XA_ATOM) > 0)
            return true;
        std::this_thread::sleep_for(50ms);
    }
    return false;
}

X11Session::~X11Session()
{
    if (program > 0)
    {
        kill(program, SIGKILL);
        waitpid(program, nullptr, 0);
    }
    if (windowManager > 0)
    {
        kill(windowManager, SIGTERM);
        waitpid(windowManager, nullptr, 0);
    }
    if (connection != nullptr)
        XCloseDisplay(connection);
    if (server > 0)
    {
        kill(server, SIGTERM);
        waitpid(server, nullptr, 0);
    }
}

void X11Session::Start(const std::string& folder, const std::string& programPath,
                       const std::vector<std::string>& arguments, const std::vector<std::string>& environment)
{
    std::vector<char*> argv{const_cast<char*>(programPath.c_str())};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    program = fork();
    if (program == 0)
    {
        if (chdir(folder.c_str()) != 0)
            _exit(126);
        setenv("DISPLAY", display.c_str(), 1);
        setenv("LP_NUM_THREADS", "1", 1);
        unsetenv("SDL_VIDEODRIVER");
        for (const std::string& variable : environment)
        {
            const std::size_t equals = variable.find('=');
            if (equals == std::string::npos)
                unsetenv(variable.c_str());
            else
                setenv(variable.substr(0, equals).c_str(), variable.substr(equals + 1).c_str(), 1);
        }
        execv(programPath.c_str(), argv.data());
        _exit(127);
    }
}

std::string X11Session::Title(unsigned long window) const
{
    Atom netName = XInternAtom(connection, "_NET_WM_NAME", False);
    Atom utf8 = XInternAtom(connection, "UTF8_STRING", False);
    Atom type;
    int format;
    unsigned long count, remaining;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(connection, window, netName, 0, 1024, False, utf8, &type, &format, &count, &remaining,
                           &data) == Success &&
        data != nullptr)
    {
        title.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
        return title;
    }
    char* name = nullptr;
    if (XFetchName(connection, window, &name) && name != nullptr)
    {
        title = name;
        XFree(name);
    }
    return title;
}

std::vector<std::string> X11Session::WindowTitles() const
{
    std::vector<std::string> titles;
    XSync(connection, False);
    for (unsigned long window : TopLevelWindows(connection, windowManager > 0))
    {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(connection, window, &attributes) && attributes.map_state == IsViewable)
        {
            const std::string title = Title(window);
            if (!title.empty())
                titles.push_back(title);
        }
    }
    return titles;
}

unsigned long X11Session::WaitForWindow(const std::string& title, std::chrono::milliseconds timeout) const
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline)
    {
        XSync(connection, False);
        for (unsigned long window : TopLevelWindows(connection, windowManager > 0))
        {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(connection, window, &attributes) && attributes.map_state == IsViewable &&
                Title(window) == title)
                return window;
        }
        std::this_thread::sleep_for(50ms);
    }
    return 0;
}

unsigned long X11Session::WaitForWindowOtherThan(unsigned long except, std::chrono::milliseconds timeout) const
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline)
    {
        XSync(connection, False);
        for (unsigned long window : TopLevelWindows(connection, windowManager > 0))
        {
            XWindowAttributes attributes;
            if (window != except && XGetWindowAttributes(connection, window, &attributes) &&
                attributes.map_state == IsViewable && !Title(window).empty())
                return window;
        }
        std::this_thread::sleep_for(50ms);
    }
    return 0;
}

void X11Session::DismissBox(unsigned long box) const
{
    Run("xdotool key --window " + std::to_string(box) + " Return");
    for (int wait = 0; wait < 200; ++wait)
    {
        XSync(connection, False);
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(connection, box, &attributes) || attributes.map_state != IsViewable)
            return;
        std::this_thread::sleep_for(50ms);
    }
}

int X11Session::Run(const std::string& command) const
{
    return std::system(("DISPLAY=" + display + " " + command + " >/dev/null 2>&1").c_str());
}

void X11Session::Key(unsigned long window, const std::string& key) const
{
    Run("xdotool windowfocus --sync " + std::to_string(window) + " key --delay 20 " + key);
}

void X11Session::Drag(unsigned long window, int button, int fromX, int fromY, int toX, int toY) const
{
    std::ostringstream command;
    command << "xdotool mousemove --window " << window << ' ' << fromX << ' ' << fromY << " sleep 0.1 mousedown "
            << button;
    const int steps = 8;
    for (int step = 1; step <= steps; ++step)
        command << " sleep 0.05 mousemove --window " << window << ' ' << fromX + (toX - fromX) * step / steps << ' '
                << fromY + (toY - fromY) * step / steps;
    command << " sleep 0.1 mouseup " << button;
    Run(command.str());
}

void X11Session::RequestClose(unsigned long window) const
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(connection, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(connection, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(connection, window, False, NoEventMask, &event);
    XFlush(connection);
}

void X11Session::ResizeWindow(unsigned long window, int width, int height) const
{
    XResizeWindow(connection, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XSync(connection, False);
}

Rectangle X11Session::ClientArea(unsigned long window) const
{
    XWindowAttributes attributes{};
    XGetWindowAttributes(connection, window, &attributes);
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(connection, window, DefaultRootWindow(connection), 0, 0, &x, &y, &child);
    return Rectangle{x, y, attributes.width, attributes.height};
}

// A window manager reparents each window into its frame, a child of the root.
Rectangle X11Session::Frame(unsigned long window) const
{
    Window root, parent = window, *children = nullptr;
    unsigned int count = 0;
    Window frame = window;
    while (parent != DefaultRootWindow(connection))
    {
        frame = parent;
        if (!XQueryTree(connection, frame, &root, &parent, &children, &count))
            break;
        XFree(children);
    }
    return ClientArea(frame);
}

std::vector<long> X11Session::FrameExtents(unsigned long window) const
{
    Atom type;
    int format;
    unsigned long count = 0, remaining;
    unsigned char* data = nullptr;
    std::vector<long> extents;
    if (XGetWindowProperty(connection, window, XInternAtom(connection, "_NET_FRAME_EXTENTS", False), 0, 4, False,
                           XA_CARDINAL, &type, &format, &count, &remaining, &data) == Success &&
        data != nullptr)
        extents.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + count);
    XFree(data);
    return extents;
}

Capture X11Session::CaptureWindow(unsigned long window) const
{
    Capture capture;
    const std::string command =
        "DISPLAY=" + display + " xwd -silent -id " + std::to_string(window) + " | convert xwd:- ppm:-";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return capture;
    capture.ReadPpm(pipe);
    pclose(pipe);
    return capture;
}

void X11Session::Signal(int signal) const
{
    if (program > 0)
        kill(program, signal);
}

std::optional<int> X11Session::WaitForExit(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline)
    {
        int status = 0;
        if (waitpid(program, &status, WNOHANG) == program)
        {
            program = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        std::this_thread::sleep_for(20ms);
    }
    return std::nullopt;
}
