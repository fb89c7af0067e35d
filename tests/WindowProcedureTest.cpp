// SPDX-License-Identifier: MIT
#include "GlContext.h"
#include "app/CScreenshots.h"
#include "app/ISceneOverlay.h"
#include "app/MessageLoop.h"
#include "app/RenderTargetSizes.h"
#include "app/Scene.h"
#include "app/WinMain.h"
#include "app/WindowProcedure.h"
#include "camera/CCamera.h"
#include "camera/ViewState.h"
#include "inspector/CInspector.h"
#include "platform/CWindow.h"
#include "platform/DisplaySettings.h"
#include "platform/QuitMessage.h"

#include <gtest/gtest.h>

#include <SDL.h>
#include <imgui.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace
{
// Drives the window procedure with synthetic messages, from a known camera and no drag held.
class WindowMessages : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Send(WM_LBUTTONUP, 0, 0);
        Send(WM_RBUTTONUP, 0, 0);
        Camera.Reset();
        SceneRotation = {0.0f, 0.0f};
        Message leftover;
        TakePostedQuitMessage(leftover);
    }

    static LRESULT Send(std::uint32_t message, WPARAM wParam, LPARAM lParam)
    {
        return MainWindowProcedure(message, wParam, lParam);
    }

    static void MouseMove(int x, int y) { Send(WM_MOUSEMOVE, 0, MakeLParam(x, y)); }

    static bool QuitPosted(int& code)
    {
        Message message;
        if (!TakePostedQuitMessage(message))
            return false;
        EXPECT_EQ(message.message, WM_QUIT);
        code = static_cast<int>(message.wParam);
        return true;
    }
};
}

TEST_F(WindowMessages, ArrowKeysMoveTwoUnitsPerKeyDown)
{
    Camera.Turn(0.0f);  // heading along +z
    Send(WM_KEYDOWN, VK_UP, 0);
    Send(WM_KEYDOWN, VK_UP, 0);
    EXPECT_FLOAT_EQ(Camera.position.z, 4.0f);
    Send(WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_FLOAT_EQ(Camera.position.z, 2.0f);
    Send(WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_FLOAT_EQ(Camera.position.x, 98.0f);
    Send(WM_KEYDOWN, VK_LEFT, 0);
    Send(WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_FLOAT_EQ(Camera.position.x, 102.0f);
    EXPECT_FLOAT_EQ(Camera.position.y, 100.0f);
}

TEST_F(WindowMessages, OtherKeysAreHandledAndDoNothing)
{
    const Vector3 before = Camera.position;
    EXPECT_EQ(Send(WM_KEYDOWN, VK_SPACE, 0), 0);
    EXPECT_EQ(Camera.position.x, before.x);
    EXPECT_EQ(Camera.position.z, before.z);
    int code = -1;
    EXPECT_FALSE(QuitPosted(code));
}

TEST_F(WindowMessages, EscapeCloseAndDestroyPostQuitWithZero)
{
    for (std::uint32_t message : {WM_KEYDOWN, WM_CLOSE, WM_DESTROY})
    {
        EXPECT_EQ(Send(message, message == WM_KEYDOWN ? VK_ESCAPE : 0, 0), 0);
        int code = -1;
        ASSERT_TRUE(QuitPosted(code)) << "message " << message;
        EXPECT_EQ(code, 0);
    }
}

TEST_F(WindowMessages, LeftDragTurnsAndRisesByThePixelArithmetic)
{
    Send(WM_LBUTTONDOWN, 0, MakeLParam(100, 100));
    MouseMove(300, 200);  // 200 pixels right, 100 down
    EXPECT_FLOAT_EQ(Camera.yaw, -1.0f);
    EXPECT_FLOAT_EQ(Camera.position.y, 200.0f);

    MouseMove(301, 200);
    EXPECT_FLOAT_EQ(Camera.yaw, static_cast<float>(-1.0f + static_cast<float>(-1.0 / 200.0)));
}

TEST_F(WindowMessages, DraggingUpStopsLoweringAtTheFloor)
{
    Send(WM_LBUTTONDOWN, 0, MakeLParam(50, 200));
    MouseMove(50, 130);  // 100 - 70 = 30
    EXPECT_FLOAT_EQ(Camera.position.y, 30.0f);
    MouseMove(50, 115);  // a step to 15 is refused whole
    EXPECT_FLOAT_EQ(Camera.position.y, 30.0f);
    MouseMove(50, 105);  // -10 from 30 gives exactly 20
    EXPECT_FLOAT_EQ(Camera.position.y, 20.0f);
}

TEST_F(WindowMessages, RightDragAccumulatesSceneRotationOnly)
{
    const Vector3 before = Camera.position;
    Send(WM_RBUTTONDOWN, 0, MakeLParam(200, 100));
    MouseMove(170, 110);
    MouseMove(150, 90);
    EXPECT_FLOAT_EQ(SceneRotation.horizontal, 50.0f);
    EXPECT_FLOAT_EQ(SceneRotation.vertical, 10.0f);
    EXPECT_EQ(Camera.position.y, before.y);
    EXPECT_EQ(Camera.yaw, 0.0f);

    Send(WM_RBUTTONUP, 0, MakeLParam(150, 90));
    MouseMove(10, 10);
    EXPECT_FLOAT_EQ(SceneRotation.horizontal, 50.0f);
}

TEST_F(WindowMessages, MovesWithoutAButtonTrackThePositionSoDragsStartWithoutAJump)
{
    MouseMove(10, 10);
    MouseMove(400, 300);
    EXPECT_EQ(SceneRotation.horizontal, 0.0f);
    EXPECT_EQ(Camera.yaw, 0.0f);
    EXPECT_EQ(Camera.position.y, 100.0f);

    Send(WM_LBUTTONDOWN, 0, MakeLParam(400, 300));
    Send(WM_RBUTTONDOWN, 0, MakeLParam(400, 300));
    MouseMove(390, 300);
    EXPECT_FLOAT_EQ(Camera.yaw, 10.0f / 200.0f);
    EXPECT_FLOAT_EQ(SceneRotation.horizontal, 10.0f);
}

class WindowResize : public GlTest
{
};

TEST_F(WindowResize, SizeMessageSetsWindowSizeViewportAndProjection)
{
    MainWindowProcedure(WM_SIZE, 0, MakeLParam(800, 200));
    EXPECT_EQ(WindowSize.width, 800);
    EXPECT_EQ(WindowSize.height, 200);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 200);

    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_PROJECTION);
    float projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    // gluPerspective: m[5] / m[0] is the aspect, 4.0 here, not the integer quotient of a smaller pair.
    EXPECT_NEAR(projection[5] / projection[0], 4.0, 1e-5);
    EXPECT_NEAR(projection[5], 1.0 / std::tan(22.5 * M_PI / 180.0), 1e-5);
    EXPECT_NO_GL_ERROR();

    MainWindowProcedure(WM_SIZE, 0, MakeLParam(641, 479));
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_NEAR(projection[5] / projection[0], 641.0 / 479.0, 1e-5);
    glMatrixMode(GL_MODELVIEW);
}

TEST_F(WindowResize, ZeroHeightLeavesAFiniteProjection)
{
    MainWindowProcedure(WM_SIZE, 0, MakeLParam(640, 0));
    EXPECT_EQ(WindowSize.height, 0);
    float projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    for (float value : projection)
        EXPECT_TRUE(std::isfinite(value));
    EXPECT_NO_GL_ERROR();
    MainWindowProcedure(WM_SIZE, 0, MakeLParam(640, 480));
    glMatrixMode(GL_MODELVIEW);
}

// The targets a drawable of each size gets: the fixed sizes, or the drawable's with water images
// at the least power of two that covers its longer side, or in the best picture at either render
// size a fifth larger than it, and never a side beyond the driver's limit.
TEST(RenderTargetSizes, FollowTheDrawableOnlyInWindowModeOrTheBestPictureAndStayWithinTheDriversLimit)
{
    const struct
    {
        RenderSize mode;
        Picture picture;
        int width, height, limit;
        RenderTargetSizes sizes;
    } cases[] = {
        {RenderSize::Specified, Picture::Specified, 1920, 1080, 16384, {1024, 768, 1024}},
        {RenderSize::Specified, Picture::Specified, 320, 200, 16384, {1024, 768, 1024}},
        {RenderSize::Window, Picture::Specified, 640, 480, 16384, {640, 480, 1024}},
        {RenderSize::Window, Picture::Specified, 1280, 720, 16384, {1280, 720, 2048}},
        {RenderSize::Window, Picture::Specified, 1920, 1080, 16384, {1920, 1080, 2048}},
        {RenderSize::Window, Picture::Specified, 1024, 600, 16384, {1024, 600, 1024}},
        {RenderSize::Window, Picture::Specified, 1025, 600, 16384, {1025, 600, 2048}},
        {RenderSize::Window, Picture::Specified, 480, 1280, 16384, {480, 1280, 2048}},
        {RenderSize::Window, Picture::Specified, 1, 1, 16384, {1, 1, 1}},
        {RenderSize::Window, Picture::Specified, 5120, 2880, 4096, {4096, 2880, 4096}},
        {RenderSize::Specified, Picture::Best, 640, 480, 16384, {640, 480, 768}},
        {RenderSize::Window, Picture::Best, 640, 480, 16384, {640, 480, 768}},
        {RenderSize::Window, Picture::Best, 480, 1280, 16384, {480, 1280, 1536}},
        {RenderSize::Window, Picture::Best, 1, 1, 16384, {1, 1, 1}},
        {RenderSize::Window, Picture::Best, 3840, 2160, 4096, {3840, 2160, 4096}},
    };
    for (const auto& c : cases)
    {
        const RenderTargetSizes sizes = ChooseRenderTargetSizes(c.mode, c.picture, c.width, c.height, c.limit);
        EXPECT_TRUE(sizes == c.sizes) << c.width << " x " << c.height << ": " << sizes.sceneWidth << " x "
                                      << sizes.sceneHeight << ", water " << sizes.waterSize;
    }
}

// The keys as the platform delivers them: SDL key events on a real window, through the real
// message loop and window procedure. Heading along +z with +y up, the view's right is -x.
class RealWindow : public GlTest
{
};

TEST_F(RealWindow, ArrowKeysOnTheRealWindowWalkAndStepTheirOwnWayAndEscapeQuits)
{
    static CWindow window;
    if (window.Handle() == nullptr)
    {
        ASSERT_TRUE(window.Create("Merrowind keys", 0, 0, 640, 480, MainWindowProcedure)) << SDL_GetError();
    }
    Camera.Reset();
    Camera.Turn(0.0f);
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    const struct
    {
        SDL_Keycode key;
        float x, z;  // where the eye stands afterwards
    } steps[] = {{SDLK_UP, 100.0f, 2.0f},    {SDLK_UP, 100.0f, 4.0f},   {SDLK_DOWN, 100.0f, 2.0f},
                 {SDLK_RIGHT, 98.0f, 2.0f}, {SDLK_LEFT, 100.0f, 2.0f}, {SDLK_LEFT, 102.0f, 2.0f}};
    for (const auto& step : steps)
    {
        SDL_Event event = {};
        event.type = SDL_KEYDOWN;
        event.key.windowID = SDL_GetWindowID(window.Handle());
        event.key.state = SDL_PRESSED;
        event.key.keysym.sym = step.key;
        ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
    }
    SDL_Event escape = {};
    escape.type = SDL_KEYDOWN;
    escape.key.windowID = SDL_GetWindowID(window.Handle());
    escape.key.state = SDL_PRESSED;
    escape.key.keysym.sym = SDLK_ESCAPE;
    ASSERT_EQ(SDL_PushEvent(&escape), 1) << SDL_GetError();

    // The loop draws frames only when no message waits, so the procedure records the eye after
    // each key instead.
    static std::vector<Vector3> eyes;
    eyes.clear();
    const int code = RunMessageLoop(
        window,
        [](std::uint32_t message, WPARAM wParam, LPARAM lParam)
        {
            const LRESULT result = MainWindowProcedure(message, wParam, lParam);
            if (message == WM_KEYDOWN)
                eyes.push_back(Camera.position);
            return result;
        },
        [] {});

    EXPECT_EQ(code, 0);
    ASSERT_EQ(eyes.size(), std::size(steps) + 1);
    for (size_t k = 0; k < std::size(steps); ++k)
    {
        EXPECT_FLOAT_EQ(eyes[k].x, steps[k].x) << "key " << k;
        EXPECT_FLOAT_EQ(eyes[k].z, steps[k].z) << "key " << k;
        EXPECT_FLOAT_EQ(eyes[k].y, 100.0f) << "key " << k;
    }
    glMatrixMode(GL_MODELVIEW);
    EXPECT_NO_GL_ERROR();
}

// The names among the first few thousand that the current context holds an object of one of
// these kinds for.
std::vector<GLuint> LiveObjects(bool withTextures)
{
    std::vector<GLuint> live;
    for (GLuint name = 1; name < 4096; ++name)
        if ((withTextures && glIsTexture(name)) || glIsFramebuffer(name) || glIsRenderbuffer(name) ||
            glIsBuffer(name) || glIsProgram(name) || glIsProgramPipeline(name) || glIsQuery(name))
            live.push_back(name);
    return live;
}

// The whole life of the program on a real (offscreen) window: start-up, frames until the limit,
// then one shutdown after the last frame, which leaves no target, buffer or program behind (the
// image textures live as long as the process) and no error raised by a frame drawn into released
// targets. A second shutdown must release nothing that is not the scene's: the names freed by the
// first are handed out again.
TEST_F(RealWindow, TheProgramDrawsItsFramesThenShutsDownOnceLeavingNothingBehind)
{
    ASSERT_EQ(WinMain(3), 0);
    EXPECT_NO_GL_ERROR();
    EXPECT_EQ(LiveObjects(false), std::vector<GLuint>{});

    GLuint texture = 0, buffer = 0, framebuffer = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    const std::vector<GLuint> before = LiveObjects(true);
    ShutdownScene();
    EXPECT_EQ(LiveObjects(true), before);
    EXPECT_NO_GL_ERROR();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
}

// An overlay that notes, as each frame draws, the vsync setting the frame began with and the
// window's swap interval, then turns the setting over for the next frame.
class VsyncFlipper : public NoSceneOverlay
{
public:
    void Draw() override
    {
        frames.push_back({displaySettings.vsync, SDL_GL_GetSwapInterval()});
        displaySettings.vsync = !displaySettings.vsync;
    }

    std::vector<std::pair<bool, int>> frames;
};

// The vsync setting, changed while the program runs (as the inspector changes it), reaches the
// window's swap interval at the next frame, on and off alike: paced (adaptively or not) while it
// is on, unpaced while it is off.
TEST_F(RealWindow, TheVsyncSettingReachesTheSwapIntervalAtTheNextFrameBothWays)
{
    static VsyncFlipper flipper;
    ISceneOverlay& previous = SceneOverlay();
    const bool setting = displaySettings.vsync;
    flipper.frames.clear();
    UseSceneOverlay(flipper);
    ASSERT_EQ(WinMain(4), 0);
    UseSceneOverlay(previous);
    displaySettings.vsync = setting;
    ASSERT_EQ(flipper.frames.size(), 4u);
    for (std::size_t frame = 0; frame < flipper.frames.size(); ++frame)
    {
        const auto [vsync, interval] = flipper.frames[frame];
        if (vsync)
            EXPECT_TRUE(interval == 1 || interval == -1) << "frame " << frame << ": " << interval;
        else
            EXPECT_EQ(interval, 0) << "frame " << frame;
    }
    EXPECT_NO_GL_ERROR();
}

// A screenshot goes into the pictures folder that user-dirs.dirs names, made where it is missing;
// where it cannot be made (a file in the way), or user-dirs.dirs names no folder a path can reach or
// is no file to read (a pipe would wait for ever, /dev/zero never end), the failure goes to the
// standard error once, cut to be read, as well as to the inspector's panel. Nothing hangs.
TEST_F(RealWindow, AScreenshotGoesIntoThePicturesFolderOrSaysWhyOnTheStandardError)
{
    const std::string config = std::getenv("XDG_CONFIG_HOME"), home = std::getenv("HOME");
    const std::string userDirs = config + "/user-dirs.dirs";
    std::filesystem::create_directories(config);
    std::ofstream(userDirs) << "XDG_PICTURES_DIR=\"$HOME/Pictures\"\n";
    Screenshots.Request();
    ASSERT_EQ(WinMain(3), 0);
    const std::string saved = Screenshots.Last().message;
    ASSERT_EQ(saved.rfind("Screenshot saved as " + home + "/Pictures/merrowind-", 0), 0u) << saved;
    EXPECT_TRUE(std::filesystem::is_regular_file(saved.substr(saved.find(home))));

    std::ofstream(home + "/file") << "not a folder";
    const std::string unreadable = "Screenshot not saved: " + userDirs +
                                   ", which names the pictures folder, cannot be read: it is not a regular file";
    const std::string unusable =
        "Screenshot not saved: the pictures folder that " + userDirs + " names cannot be used: ";
    const struct
    {
        std::string userDirs;  // empty: a named pipe; "/dev/zero": a link to it
        std::string why;
    } cases[] = {
        {"XDG_PICTURES_DIR=\"$HOME/file/Pictures\"\n",
         "Screenshot not saved: cannot create the folder " + home + "/file/Pictures: Not a directory"},
        {std::string("XDG_PICTURES_DIR=\"$HOME/Pictures\0\"\n", 35), unusable + "the path holds a NUL byte"},
        {"XDG_PICTURES_DIR=\"/" + std::string(40 * 1024, 'p') + "\"\n",
         unusable + "the path is 40961 bytes long; the system takes at most 4095"},
        {"", unreadable},
        {"/dev/zero", unreadable},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.why.substr(0, 100));
        std::filesystem::remove(userDirs);
        if (c.userDirs.empty())
            ASSERT_EQ(mkfifo(userDirs.c_str(), 0600), 0);
        else if (c.userDirs == "/dev/zero")
            std::filesystem::create_symlink(c.userDirs, userDirs);
        else
            std::ofstream(userDirs) << c.userDirs;
        Screenshots.Request();
        ::testing::internal::CaptureStderr();
        ASSERT_EQ(WinMain(3), 0);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "merrowind: " + c.why + "\n");
        EXPECT_EQ(Screenshots.Last().message, c.why);
        EXPECT_TRUE(Screenshots.Last().failed);
    }
    std::filesystem::remove(userDirs);
}

// F12 held down takes one screenshot, not one for every repeat of the key; each new press takes
// another. The keys go through the real window and message loop, one shot looked for after each.
TEST_F(RealWindow, F12TakesOneScreenshotPerPressNotPerRepeat)
{
    static CWindow window;
    if (window.Handle() == nullptr)
    {
        ASSERT_TRUE(window.Create("Merrowind F12", 0, 0, 64, 48, MainWindowProcedure)) << SDL_GetError();
    }
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    const struct
    {
        SDL_Keycode key;
        std::uint8_t repeat;
    } keys[] = {{SDLK_F12, 0}, {SDLK_F12, 1}, {SDLK_F12, 1}, {SDLK_F12, 0}, {SDLK_F12, 1}, {SDLK_ESCAPE, 0}};
    for (const auto& key : keys)
    {
        SDL_Event event = {};
        event.type = SDL_KEYDOWN;
        event.key.windowID = SDL_GetWindowID(window.Handle());
        event.key.state = SDL_PRESSED;
        event.key.repeat = key.repeat;
        event.key.keysym.sym = key.key;
        ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
    }
    static std::vector<unsigned> shots;
    shots.clear();
    RunMessageLoop(
        window,
        [](std::uint32_t message, WPARAM wParam, LPARAM lParam)
        {
            const LRESULT result = MainWindowProcedure(message, wParam, lParam);
            Screenshots.CaptureIfRequested(8, 8);
            if (message == WM_KEYDOWN)
                shots.push_back(Screenshots.Last().number);
            return result;
        },
        [] {});
    ASSERT_EQ(shots.size(), std::size(keys));
    const unsigned before = shots[0] - 1;
    EXPECT_EQ(shots, (std::vector<unsigned>{before + 1, before + 1, before + 1, before + 2, before + 2, before + 2}));
    EXPECT_NO_GL_ERROR();
}

// The same life with the inspector open from the first frame on a view: its window, timer
// queries and display program are made, and the one shutdown releases them with the scene and
// keeps the window's layout in the state folder. Where that folder cannot be made, the standard
// error says so.
TEST_F(RealWindow, WithTheInspectorOpenTheProgramLeavesNothingBehindEither)
{
    const std::string layout = std::string(std::getenv("XDG_STATE_HOME")) + "/merrowind/inspector.ini";
    ASSERT_TRUE(Inspector.OpenOnView("bright_pass"));
    UseSceneOverlay(Inspector);
    ASSERT_EQ(WinMain(3), 0);
    EXPECT_NO_GL_ERROR();
    EXPECT_EQ(LiveObjects(false), std::vector<GLuint>{});
    EXPECT_EQ(ImGui::GetCurrentContext(), nullptr);
    EXPECT_FALSE(Inspector.IsOpen());
    std::ifstream saved(layout);
    EXPECT_NE(std::string(std::istreambuf_iterator<char>(saved), std::istreambuf_iterator<char>()).find("[Window][Inspector]"),
              std::string::npos);

    // A named pipe in the layout's place, and a screenshot failing for a pictures folder of 40 KB
    // while the inspector shows it: each said once, the layout saved over the pipe.
    const std::string userDirs = std::string(std::getenv("XDG_CONFIG_HOME")) + "/user-dirs.dirs";
    std::filesystem::create_directories(std::getenv("XDG_CONFIG_HOME"));
    std::ofstream(userDirs) << "XDG_PICTURES_DIR=\"/" + std::string(40 * 1024, 'p') + "\"\n";
    std::filesystem::remove(layout);
    ASSERT_EQ(mkfifo(layout.c_str(), 0600), 0);
    ASSERT_TRUE(Inspector.OpenOnView("bright_pass"));
    Screenshots.Request();
    ::testing::internal::CaptureStderr();
    ASSERT_EQ(WinMain(3), 0);
    const std::string said = ::testing::internal::GetCapturedStderr();
    const std::string unread = "merrowind: the inspector's layout was not read from " + layout +
                               ": it is not a regular file; the window opens in its first place\n";
    EXPECT_NE(said.find(unread), std::string::npos) << said;
    EXPECT_EQ(said.find(unread), said.rfind(unread)) << "said more than once: " << said;
    EXPECT_NE(said.find("Screenshot not saved: "), std::string::npos) << said;
    EXPECT_TRUE(Screenshots.Last().failed);
    EXPECT_TRUE(std::filesystem::is_regular_file(layout));
    std::filesystem::remove(userDirs);

    const std::string state = std::getenv("XDG_STATE_HOME");
    setenv("XDG_STATE_HOME", layout.c_str(), 1);
    ASSERT_TRUE(Inspector.OpenOnView("bright_pass"));
    ::testing::internal::CaptureStderr();
    ASSERT_EQ(WinMain(3), 0);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("merrowind: the inspector's layout was not saved to " +
                                                            layout + "/merrowind/inspector.ini: cannot create the "
                                                                     "folder " + layout + "/merrowind"),
              std::string::npos);
    setenv("XDG_STATE_HOME", state.c_str(), 1);
}
