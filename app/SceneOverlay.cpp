// SPDX-License-Identifier: MIT
// The overlay in use, and the empty one the scene starts with.
#include "app/ISceneOverlay.h"

namespace
{
class NoOverlay : public ISceneOverlay
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

NoOverlay none;
ISceneOverlay* overlayInUse = &none;
}

void UseSceneOverlay(ISceneOverlay& overlay)
{
    overlayInUse = &overlay;
}

ISceneOverlay& SceneOverlay()
{
    return *overlayInUse;
}
