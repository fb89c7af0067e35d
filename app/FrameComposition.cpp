// One frame: the two water images, the main scene through the HDR chain, the tone-mapped result
// over the whole window with the two previews in its top-left corner, and the buffer swap.
#include "app/Scene.h"

#include "app/Globals.h"
#include "camera/Projection.h"
#include "platform/CWindow.h"

#include <epoxy/gl.h>

namespace
{
class NoObserver : public IFrameObserver
{
public:
    void StageFinished(FrameStage) override {}
};
}

void RenderFrame()
{
    static NoObserver nobody;
    RenderObservedFrame(nobody);
}

void RenderObservedFrame(IFrameObserver& observer)
{
    LoadPerspective(WindowSize.width, WindowSize.height);
    observer.StageFinished(FrameStage::Reflection);
    observer.StageFinished(FrameStage::Refraction);
    glViewport(0, 0, WindowSize.width, WindowSize.height);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    observer.StageFinished(FrameStage::MainScene);
    observer.StageFinished(FrameStage::HdrChain);
    observer.StageFinished(FrameStage::Composite);
    MainWindow.SwapBuffers();
    observer.StageFinished(FrameStage::Swap);
}
