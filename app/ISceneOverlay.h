// SPDX-License-Identifier: MIT
// What a tool laid over the scene may do with the frame: take the window's input first, hear the
// frame's stages, show another image in place of the tone-mapped one, and draw itself over the
// composed frame. The program hands its inspector in as one; the scene itself knows no tool, and
// without one the frame is the plain one.
#pragma once

#include "app/FrameStage.h"
#include "platform/IEventFilter.h"

#include <epoxy/gl.h>

class ISceneOverlay : public IEventFilter
{
public:
    // The observer of this frame's stages, or nullptr when none listens.
    virtual IFrameObserver* BeginTimedFrame() = 0;
    // The texture to show over the window: `finalTexture`, or another image until EndView.
    virtual GLuint BeginView(GLuint finalTexture) = 0;
    virtual void EndView() = 0;
    // Whether a screenshot shows the overlay too.
    virtual bool InScreenshots() const = 0;
    // Draws the overlay over the composed frame.
    virtual void Draw() = 0;
    // Releases the overlay's GPU objects with the scene, while the context lives.
    virtual void Release() = 0;
};

// An overlay that takes nothing and draws nothing: the one the scene starts with, and the base of
// one that needs only some of the calls.
class NoSceneOverlay : public ISceneOverlay
{
public:
    bool TakeEvent(const SDL_Event&) override { return false; }
    IFrameObserver* BeginTimedFrame() override { return nullptr; }
    GLuint BeginView(GLuint finalTexture) override { return finalTexture; }
    void EndView() override {}
    bool InScreenshots() const override { return false; }
    void Draw() override {}
    void Release() override {}
};

// The overlay the frame and the window use from now on; it must outlive the scene.
void UseSceneOverlay(ISceneOverlay& overlay);
// The overlay in use: until one is handed in, one that takes nothing and draws nothing.
ISceneOverlay& SceneOverlay();
