// SPDX-License-Identifier: MIT
// Where the camera's eye is in the coordinates of the object whose transform is on the
// model-view matrix: the water surface uses it to see itself from the viewer's side.
#pragma once

#include "camera/CCamera.h"

// The inverse of the current model-view matrix applied to the camera position; with an
// identity model-view that is the position itself. Needs a current context.
Vector3 GetEyePosition(const CCamera& camera);
