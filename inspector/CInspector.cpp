// SPDX-License-Identifier: MIT
#include "inspector/CInspector.h"

#include "app/CScreenshots.h"
#include "app/Scene.h"
#include "camera/CCamera.h"
#include "camera/ViewState.h"
#include "hdr/CHDRPostProcess.h"
#include "inspector/ShaderPanel.h"
#include "platform/CUserFolders.h"
#include "platform/CWindow.h"
#include "platform/ReadableText.h"
#include "platform/TextFile.h"

#include <SDL.h>
#include <backends/imgui_impl_opengl2.h>
#include <backends/imgui_impl_sdl.h>
#include <imgui.h>

#include <cfloat>
#include <cmath>
#include <cstdio>

CInspector Inspector;

namespace
{
// Where the window first appears, in window pixels: below the two previews, on the left.
const ImVec2 WindowPlace(10.0f, 70.0f);
const ImVec2 WindowExtent(300.0f, 400.0f);
// Bloom and bright pass are faint beside the scene: the scale goes far up, on a logarithmic slider.
constexpr float LargestScale = 64.0f;
constexpr const char* ToneMappedPicture = "tone-mapped picture";
// Dear ImGui's own font, in window units.
constexpr float FontPixels = 13.0f;
// The layout of the one window takes a few hundred bytes; a longer file is not a layout.
constexpr std::size_t MaxLayoutBytes = 64 * 1024;

// Where the window's place and size are kept between runs.
std::string LayoutPath()
{
    return CUserFolders::OfThisProcess().State() + "/inspector.ini";
}

// A 1 x 1 target's red texel. Reading waits for the chain, so it happens only while open.
float ReadTexel(GLuint texture)
{
    float value = 0.0f;
    if (texture == 0)
        return value;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RED, GL_FLOAT, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}

// The back-end draws from client memory through the fixed-function arrays, which read from a
// bound buffer instead when there is one: the scene leaves its terrain's buffer bound, so it is
// set aside while the back-end draws and bound again afterwards. The back-end also leaves the
// current colour undefined (it draws with a colour array), and the frame's textured quads are
// modulated by it.
void RenderBesideTheScene(ImDrawData* drawData)
{
    GLint arrayBuffer = 0;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &arrayBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    ImGui_ImplOpenGL2_RenderDrawData(drawData);
    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(arrayBuffer));
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

// The back-end follows the pointer only while the window has the keyboard focus, but a user may
// point at the inspector of a window without it: the pointer is taken as the window last saw it.
// And the back-end captures the mouse while a button is down, which the window never does (see
// CWindow::Create), or a camera drag would see positions outside the client area.
void FollowPointer()
{
    int x = 0, y = 0;
    SDL_GetMouseState(&x, &y);
    if (SDL_GetMouseFocus() == MainWindow.Handle())
        ImGui::GetIO().MousePos = ImVec2(static_cast<float>(x), static_cast<float>(y));
    SDL_CaptureMouse(SDL_FALSE);
}

bool IsMouseEvent(std::uint32_t type)
{
    return type == SDL_MOUSEMOTION || type == SDL_MOUSEBUTTONDOWN || type == SDL_MOUSEBUTTONUP ||
           type == SDL_MOUSEWHEEL;
}

bool IsKeyboardEvent(std::uint32_t type)
{
    return type == SDL_KEYDOWN || type == SDL_KEYUP || type == SDL_TEXTINPUT;
}
}

bool CInspector::OpenOnView(const std::string& name)
{
    const int found = FindTargetView(ListTargetViews(), name);
    if (found < 0)
        return false;
    view = found;
    open = true;
    return true;
}

bool CInspector::TakeEvent(const SDL_Event& event)
{
    if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_F1)
    {
        if (event.key.repeat == 0)
            open = !open;
        inspectorButtons = sceneButtons = 0;
        return true;
    }
    if (!open || context == nullptr)
        return false;
    ImGui_ImplSDL2_ProcessEvent(&event);
    if (IsMouseEvent(event.type))
        return TakesMouse(event);
    return IsKeyboardEvent(event.type) && ImGui::GetIO().WantCaptureKeyboard;
}

// ImGui says whether it wants the mouse as of its last frame, which lags behind a pointer that
// has just arrived: a press over the inspector's window is the inspector's too. The release, and
// the movement in between, go where the press went, so a drag that starts on the scene stays
// the camera's wherever it passes.
bool CInspector::TakesMouse(const SDL_Event& event)
{
    const ImGuiIO& io = ImGui::GetIO();
    switch (event.type)
    {
    case SDL_MOUSEBUTTONDOWN:
    {
        const bool taken = io.WantCaptureMouse || Over(event.button.x, event.button.y);
        (taken ? inspectorButtons : sceneButtons) |= SDL_BUTTON(event.button.button);
        return taken;
    }
    case SDL_MOUSEBUTTONUP:
    {
        const bool taken = (inspectorButtons & SDL_BUTTON(event.button.button)) != 0;
        inspectorButtons &= ~SDL_BUTTON(event.button.button);
        sceneButtons &= ~SDL_BUTTON(event.button.button);
        return taken;
    }
    case SDL_MOUSEMOTION:
        if (inspectorButtons != 0 || sceneButtons != 0)
            return inspectorButtons != 0;
        return io.WantCaptureMouse || Over(event.motion.x, event.motion.y);
    default:
        return io.WantCaptureMouse;
    }
}

bool CInspector::Over(int x, int y) const
{
    return x >= windowMin.x && x < windowMax.x && y >= windowMin.y && y < windowMax.y;
}

void CInspector::Create()
{
    IMGUI_CHECKVERSION();
    context = ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    // The layout is read and written here, not by Dear ImGui, so that a failed write is said;
    // nothing is written beside the program, and the pointer keeps the desktop's shape.
    io.IniFilename = nullptr;
    io.LogFilename = nullptr;
    io.ConfigFlags |= ImGuiConfigFlags_NoMouseCursorChange;
    LoadLayout();
    ImGui_ImplSDL2_InitForOpenGL(MainWindow.Handle(), SDL_GL_GetCurrentContext());
    ImGui_ImplOpenGL2_Init();
    views = ListTargetViews();
    lastFrameCounter = 0;
    fontScale = 0.0f;
}

IFrameObserver* CInspector::BeginTimedFrame()
{
    if (!open)
        return nullptr;
    if (context == nullptr)
        Create();
    timer.BeginFrame();
    return &timer;
}

GLuint CInspector::BeginView(GLuint finalTexture)
{
    if (!ShowsView())
        return finalTexture;
    viewProgram.Bind(views[view], scale);
    return views[view].target.texture;
}

void CInspector::EndView()
{
    if (ShowsView())
        viewProgram.Unbind();
}

void CInspector::Draw()
{
    if (!open || context == nullptr)
        return;
    RecordFrameTime();
    ReadLuminance();
    FollowDisplayScale();
    ImGui_ImplOpenGL2_NewFrame();
    ImGui_ImplSDL2_NewFrame();
    FollowPointer();
    ImGui::NewFrame();
    DrawWindow();
    DrawViewCaption();
    ImGui::Render();
    RenderBesideTheScene(ImGui::GetDrawData());
    if (ImGui::GetIO().WantSaveIniSettings)
        SaveLayout();
}

// Read as the settings file is: a named pipe in its place must not stop the opening. Without a
// file the window takes its first place; a file that cannot be read is said once, and the next
// save replaces it.
void CInspector::LoadLayout()
{
    const std::string path = LayoutPath();
    if (StampOf(path) == FileStamp())
        return;
    std::string layout, why;
    if (ReadTextFile(path, layout, MaxLayoutBytes + 1, why) && layout.size() > MaxLayoutBytes)
        why = "it is longer than " + std::to_string(MaxLayoutBytes) + " bytes";
    if (why.empty())
        ImGui::LoadIniSettingsFromMemory(layout.data(), layout.size());
    else
        std::fprintf(stderr, "merrowind: %s\n",
                     CutText("the inspector's layout was not read from " + path + ": " + why +
                             "; the window opens in its first place")
                         .c_str());
}

// A failure is written to the standard error once, and shown in the window until a save succeeds;
// the layout saved before stays as it was.
void CInspector::SaveLayout()
{
    ImGui::GetIO().WantSaveIniSettings = false;
    std::size_t size = 0;
    const char* layout = ImGui::SaveIniSettingsToMemory(&size);
    std::string why;
    const std::string problem =
        ReplaceFile(LayoutPath(), std::string(layout, size), why) ? "" : CutText(LayoutPath() + ": " + why);
    if (!problem.empty() && problem != layoutProblem)
        std::fprintf(stderr, "merrowind: the inspector's layout was not saved to %s\n", problem.c_str());
    layoutProblem = problem;
}

// The back-end lays the widgets out in window units and maps them onto the drawable, so on a
// high-DPI output they grow with the display's scale by themselves; the font, rasterised at its
// size in window units, would be magnified and blurred. It is rasterised at the drawable's scale
// instead, and drawn at the inverse: the same size, a texel for every pixel.
void CInspector::FollowDisplayScale()
{
    int windowWidth = 0, drawableWidth = 0, height = 0;
    SDL_GetWindowSize(MainWindow.Handle(), &windowWidth, &height);
    MainWindow.GetDrawableSize(drawableWidth, height);
    const float displayScale = windowWidth > 0 && drawableWidth > 0 ? static_cast<float>(drawableWidth) / windowWidth
                                                                     : 1.0f;
    if (displayScale == fontScale)
        return;
    fontScale = displayScale;
    ImGuiIO& io = ImGui::GetIO();
    io.Fonts->Clear();
    ImFontConfig font;
    font.SizePixels = FontPixels * displayScale;
    io.Fonts->AddFontDefault(&font);
    io.FontGlobalScale = 1.0f / displayScale;
    ImGui_ImplOpenGL2_DestroyFontsTexture();
    ImGui_ImplOpenGL2_CreateFontsTexture();
}

// The time between two drawings of the inspector is the frame's time; the first drawing after
// opening has nothing to measure from.
void CInspector::RecordFrameTime()
{
    const std::uint64_t now = SDL_GetPerformanceCounter();
    if (lastFrameCounter != 0)
        history.Add(static_cast<float>(static_cast<double>(now - lastFrameCounter) * 1000.0 /
                                       static_cast<double>(SDL_GetPerformanceFrequency())));
    lastFrameCounter = now;
}

// The one-texel level holds the log-average luminance, the adapted target the linear value.
void CInspector::ReadLuminance()
{
    measuredLuminance = std::exp(ReadTexel(HDRPostProcess.GetLuminanceTexture(0)));
    adaptedLuminance = ReadTexel(HDRPostProcess.GetAdaptedLuminanceTexture());
}

void CInspector::DrawWindow()
{
    ImGui::SetNextWindowPos(WindowPlace, ImGuiCond_FirstUseEver);
    ImGui::SetNextWindowSize(WindowExtent, ImGuiCond_FirstUseEver);
    ImGui::Begin("Inspector");
    windowMin = ImGui::GetWindowPos();
    windowMax = ImVec2(windowMin.x + ImGui::GetWindowWidth(), windowMin.y + ImGui::GetWindowHeight());
    const bool shaderFailed = PollShaderFiles();
    DrawViewChooser();
    // The panels, each under its own collapsing header.
    if (ImGui::CollapsingHeader("Figures", ImGuiTreeNodeFlags_DefaultOpen))
        DrawFigures();
    if (ImGui::CollapsingHeader("Settings"))
        settingsPanel.Draw();
    // A file that has just failed opens its panel, scrolled to it, so its listing is in view at once.
    if (shaderFailed)
        ImGui::SetNextItemOpen(true);
    if (ImGui::CollapsingHeader("Shaders"))
        DrawShaderPanel(shaderFailed);
    // A screenshot that has failed since the window was last drawn opens its panel, scrolled to why.
    const bool screenshotFailed = Screenshots.Last().number != screenshotsSeen && Screenshots.Last().failed;
    screenshotsSeen = Screenshots.Last().number;
    if (screenshotFailed)
        ImGui::SetNextItemOpen(true);
    if (ImGui::CollapsingHeader("Screenshot"))
        DrawScreenshotPanel(screenshotFailed);
    ImGui::End();
}

void CInspector::DrawViewChooser()
{
    if (ImGui::BeginCombo("view", view < 0 ? ToneMappedPicture : views[view].name.c_str()))
    {
        if (ImGui::Selectable(ToneMappedPicture, view < 0))
            view = -1;
        for (int i = 0; i < static_cast<int>(views.size()); ++i)
            if (ImGui::Selectable(views[i].name.c_str(), view == i))
                view = i;
        ImGui::EndCombo();
    }
    ImGui::SliderFloat("scale", &scale, 0.0f, LargestScale, "%.2f", ImGuiSliderFlags_Logarithmic);
    if (!viewProgram.Problem().empty())
        ImGui::TextWrapped("%s", CutText(viewProgram.Problem()).c_str());
    if (!layoutProblem.empty())
        ImGui::TextWrapped("The window's layout was not saved to %s", layoutProblem.c_str());
}

void CInspector::DrawFigures()
{
    ImGui::Text("%.1f frames per second", history.FramesPerSecond());
    ImGui::PlotLines("##frame time", history.Values(), history.Count(), history.Offset(), "frame time, ms", 0.0f,
                     FLT_MAX, ImVec2(0.0f, 50.0f));
    if (timer.Available())
    {
        for (int i = 0; i < CStageTimer::StageCount; ++i)
            ImGui::Text("%-11s %7.2f ms (GPU)", CStageTimer::StageNames[i], timer.StageMilliseconds()[i]);
    }
    else
        ImGui::TextWrapped("timer queries not available");
    ImGui::Text("eye       %.1f, %.1f, %.1f", Camera.position.x, Camera.position.y, Camera.position.z);
    ImGui::Text("direction %.2f, %.2f, %.2f", Camera.direction.x, Camera.direction.y, Camera.direction.z);
    // 0 - x rather than -x: an unturned scene reads 0, not -0.
    ImGui::Text("scene turned by %.0f degrees", 0.0f - SceneRotation.horizontal);
    ImGui::Text("luminance %.3f, adapted %.3f", measuredLuminance, adaptedLuminance);
}

void CInspector::DrawScreenshotPanel(bool scrollToMessage)
{
    ImGui::Checkbox("include the inspector", &screenshotsShowInspector);
    if (ImGui::Button("take one (F12)"))
        Screenshots.Request();
    ImGui::TextWrapped("%s", Screenshots.Last().message.c_str());
    if (scrollToMessage)
        ImGui::SetScrollHereY(1.0f);
}

// The view's name and size in the window's bottom-right corner, over the image.
void CInspector::DrawViewCaption()
{
    if (view < 0)
        return;
    // The size as it stands: in window mode the scene's targets follow the window.
    const NamedTarget target = ListTargetViews()[view].target;
    char caption[96];
    std::snprintf(caption, sizeof caption, "%s  %d x %d", views[view].name.c_str(), target.width, target.height);
    const ImVec2 extent = ImGui::CalcTextSize(caption);
    const ImVec2 display = ImGui::GetIO().DisplaySize;
    ImGui::GetForegroundDrawList()->AddText(ImVec2(display.x - extent.x - 8.0f, display.y - extent.y - 6.0f),
                                            IM_COL32(255, 255, 0, 255), caption);
}

void CInspector::Release()
{
    if (context != nullptr)
    {
        SaveLayout();
        ImGui_ImplOpenGL2_Shutdown();
        ImGui_ImplSDL2_Shutdown();
        ImGui::DestroyContext(context);
        context = nullptr;
    }
    timer.Release();
    viewProgram.Release();
    views.clear();
    open = false;
    view = -1;
}
