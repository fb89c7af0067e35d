// Scene start-up and shutdown: every component comes up once, in the order later steps rely on,
// and goes down once after the message loop. Nothing here tests a result: each component
// reports its own failure, and start-up goes on with the next step.
#include "app/Scene.h"

#include "app/Globals.h"
#include "camera/Projection.h"
#include "platform/CWindow.h"

#include <epoxy/gl.h>

CWindow MainWindow;

namespace
{
void SetGlobalRenderState()
{
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
}
}

void InitScene()
{
    MainWindow.CreateContext();
    SetGlobalRenderState();
    LoadPerspective(WindowSize.width, WindowSize.height);
    Camera.Reset();
}

void ShutdownScene()
{
}
