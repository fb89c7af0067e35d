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

void RenderFrame()
{
    glViewport(0, 0, WindowSize.width, WindowSize.height);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    MainWindow.SwapBuffers();
}

void ShutdownScene()
{
}
