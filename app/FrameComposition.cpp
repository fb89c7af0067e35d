// SPDX-License-Identifier: MIT
// One frame: the two water images, the main scene through the HDR chain, the tone-mapped result
// (or the image the open inspector was asked to show) over the whole window with the two
// previews in its top-left corner, a screenshot when one has been asked for, the open inspector
// over them, and the buffer swap. The frame timer gives the moment the water shows and the time
// over which the eye adapts.
#include "app/Scene.h"

#include "app/CScreenshots.h"
#include "app/ISceneOverlay.h"
#include "app/RenderTargetSizes.h"
#include "camera/Projection.h"
#include "camera/ViewState.h"
#include "hdr/CHDRPostProcess.h"
#include "platform/CWindow.h"
#include "scene/Textures.h"
#include "water/MainScenePass.h"
#include "water/ReflectionPass.h"
#include "water/RefractionPass.h"
#include "water/WaterPrograms.h"
#include "water/WaterTargets.h"

#include <epoxy/gl.h>

#include <algorithm>

namespace
{
// The overlay space: 640 x 480 units over the whole client area, origin top-left, y down.
constexpr float OverlayWidth = 640.0f;
constexpr float OverlayHeight = 480.0f;
constexpr float PreviewWidth = 80.0f;
constexpr float PreviewHeight = 60.0f;

class NoObserver : public IFrameObserver
{
public:
    void StageFinished(FrameStage) override {}
};

void SetOverlayProjection(GLbitfield clearMask)
{
    glClear(clearMask);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, OverlayWidth, OverlayHeight, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

// A textured rectangle from (x0, y0) at the top-left to (x1, y1); texture row t = 1 lands at the
// top, so every image is shown upright.
void DrawOverlayQuad(GLuint texture, float x0, float y0, float x1, float y1)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(x0, y0, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(x1, y0, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(x0, y1, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(x1, y1, 0.0f);
    glEnd();
}

// The previews shrink the water images to a twelfth of their width and less. In the best picture
// they are read from mip chains made each frame, through a sampler of their own so that the water
// still reads the images' top level; otherwise each preview pixel takes one texel of the dozens
// under it, and they crawl as the eye moves.
void DrawPreviews(bool mipmapped)
{
    static GLuint mipmappedSampler = 0;
    glClear(GL_DEPTH_BUFFER_BIT);
    if (mipmapped)
    {
        for (GLuint image : {RefractionTexture, ReflectionTexture})
        {
            glBindTexture(GL_TEXTURE_2D, image);
            glGenerateMipmap(GL_TEXTURE_2D);
        }
        if (mipmappedSampler == 0)
        {
            glGenSamplers(1, &mipmappedSampler);
            glSamplerParameteri(mipmappedSampler, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
            glSamplerParameteri(mipmappedSampler, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
            glSamplerParameteri(mipmappedSampler, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        }
        glBindSampler(0, mipmappedSampler);
    }
    DrawOverlayQuad(RefractionTexture, 0.0f, 0.0f, PreviewWidth, PreviewHeight);
    DrawOverlayQuad(ReflectionTexture, PreviewWidth, 0.0f, 2.0f * PreviewWidth, PreviewHeight);
    if (mipmapped)
        glBindSampler(0, 0);
}

// A screenshot shows the overlay only when the user chose so in it.
void DrawOverlayAndCapture(ISceneOverlay& overlay)
{
    const bool overlayInPicture = overlay.InScreenshots();
    if (!overlayInPicture)
        Screenshots.CaptureIfRequested(DrawableSize.width, DrawableSize.height);
    overlay.Draw();
    if (overlayInPicture)
        Screenshots.CaptureIfRequested(DrawableSize.width, DrawableSize.height);
}

// The largest square the driver renders into: a texture and a depth renderbuffer of that size.
int RenderTargetLimit()
{
    static const int limit = [] {
        GLint texture = 0, renderbuffer = 0;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &texture);
        glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
        return std::min(texture, renderbuffer);
    }();
    return limit;
}

// The render size or picture setting, or the drawable, may have changed since the last frame; the
// targets keep their texture names, so what holds them needs no word. The best picture draws at
// the window's size. A window without an area (minimised) keeps the targets it had.
void FitRenderTargets()
{
    if (DrawableSize.width <= 0 || DrawableSize.height <= 0)
        return;
    const RenderTargetSizes sizes = ChooseRenderTargetSizes(displaySettings.renderSize, displaySettings.picture,
                                                             DrawableSize.width, DrawableSize.height,
                                                             RenderTargetLimit());
    HDRPostProcess.SetSceneSize(sizes.sceneWidth, sizes.sceneHeight);
    ResizeWaterTargets(sizes.waterSize);
}

// Each part of the best picture takes a change of the setting at this frame; none makes a call
// while the setting stays.
void UsePictureSetting()
{
    const bool best = displaySettings.picture == Picture::Best;
    UseMipmappedFileTextures(best);
    UseFootprintFilter(best);
    HDRPostProcess.SetSceneMultisampled(best);
    DrawMainSceneMultisampled(HDRPostProcess.SceneSamples() > 1);
}

// The water passes leave their target's viewport; the window's is set again before it is drawn on.
void SetWindowViewport()
{
    glViewport(0, 0, DrawableSize.width, DrawableSize.height);
}

// Opaque blue: whatever of the window the HDR chain's picture does not cover shows it.
void ClearWindow()
{
    SetWindowViewport();
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    SetOverlayProjection(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// From here until EndScene the scene lands in the HDR chain's scene target; the eye adapts over
// the time this frame stands for.
void BeginMainScene(const FrameTime& time)
{
    HDRPostProcess.SetBrightPassThreshold(HDRPostProcess.Settings().brightPassThreshold);
    HDRPostProcess.BeginScene(static_cast<float>(DrawableSize.width), static_cast<float>(DrawableSize.height),
                              static_cast<float>(time.stepSeconds * CHDRPostProcess::TimeUnitsPerSecond));
}

// The tone-mapped picture (or the image the open inspector shows instead) over the whole window,
// the previews over it, then the screenshot and the open inspector.
void CompositeToWindow()
{
    SetWindowViewport();
    SetOverlayProjection(GL_DEPTH_BUFFER_BIT);
    ISceneOverlay& overlay = SceneOverlay();
    DrawOverlayQuad(overlay.BeginView(HDRPostProcess.GetFinalTexture()), 0.0f, 0.0f, OverlayWidth, OverlayHeight);
    overlay.EndView();
    DrawPreviews(displaySettings.picture == Picture::Best);
    DrawOverlayAndCapture(overlay);
}
}

void RenderFrame()
{
    static NoObserver nobody;
    IFrameObserver* observer = SceneOverlay().BeginTimedFrame();
    RenderObservedFrame(observer != nullptr ? *observer : nobody);
}

FrameTimer SceneTimer;

void RenderObservedFrame(IFrameObserver& observer)
{
    const FrameTime time = SceneTimer.Next();
    SetWaterTime(time.sceneSeconds);
    FitRenderTargets();
    UsePictureSetting();
    LoadPerspective(DrawableSize.width, DrawableSize.height);
    RenderReflectionPass();
    observer.StageFinished(FrameStage::Reflection);
    RenderRefractionPass();
    observer.StageFinished(FrameStage::Refraction);
    ClearWindow();
    BeginMainScene(time);
    RenderMainScene();
    HDRPostProcess.EndScene();
    observer.StageFinished(FrameStage::MainScene);
    HDRPostProcess.Process();
    observer.StageFinished(FrameStage::HdrChain);
    CompositeToWindow();
    observer.StageFinished(FrameStage::Composite);
    MainWindow.SwapBuffers();
    observer.StageFinished(FrameStage::Swap);
}
