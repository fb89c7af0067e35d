// SPDX-License-Identifier: MIT
// The overlay in use, and the empty one the scene starts with.
#include "app/ISceneOverlay.h"

namespace
{
NoSceneOverlay none;
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
