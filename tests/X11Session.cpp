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

std::vector<unsigned long> TopLevelWindows(Display* connection)
{
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    std::vector<unsigned long> windows;
    if (XQueryTree(connection, DefaultRootWindow(connection), &root, &parent, &children, &count))
    {
        windows.assign(children, children + count);
        XFree(children);
    }
    return windows;
}
}

X11Session::X11Session()
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
    if (connection == nullptr)
    {
        kill(server, SIGTERM);
        waitpid(server, nullptr, 0);
        server = -1;
    }
}

X11Session::~X11Session()
{
    if (program > 0)
    {
        kill(program, SIGKILL);
        waitpid(program, nullptr, 0);
    }
    if (connection != nullptr)
        XCloseDisplay(connection);
    if (server > 0)
    {
        kill(server, SIGTERM);
        waitpid(server, nullptr, 0);
    }
}

void X11Session::Start(const std::string& folder, const std::string& programPath, const std::string& errorFile)
{
    program = fork();
    if (program == 0)
    {
        if (chdir(folder.c_str()) != 0)
            _exit(126);
        if (!errorFile.empty())
        {
            const int errors = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            if (errors < 0 || dup2(errors, STDERR_FILENO) < 0)
                _exit(126);
        }
        setenv("DISPLAY", display.c_str(), 1);
        setenv("LP_NUM_THREADS", "1", 1);
        unsetenv("SDL_VIDEODRIVER");
        execl(programPath.c_str(), programPath.c_str(), static_cast<char*>(nullptr));
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
    for (unsigned long window : TopLevelWindows(connection))
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
        for (unsigned long window : TopLevelWindows(connection))
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
        for (unsigned long window : TopLevelWindows(connection))
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
