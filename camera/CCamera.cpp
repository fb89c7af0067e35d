// SPDX-License-Identifier: MIT
#include "camera/CCamera.h"

#include <epoxy/gl.h>
#include <GL/glu.h>

#include <cmath>

namespace
{
constexpr float LookDistance = 100.0f;
constexpr float TargetHeight = 10.0f;
// Downward steps may not take the eye below this height; upward steps are never limited.
constexpr float LowestEyeHeight = 20.0f;
}

void CCamera::Reset()
{
    yaw = 0.0f;
    pitch = 0.0f;
    direction = Vector3(-1.0f, 0.0f, 0.0f);
    target = Vector3(0.0f, 0.0f, 0.0f);
    position = Vector3(100.0f, 100.0f, 0.0f);
    up = Vector3(0.0f, 1.0f, 0.0f);
}

void CCamera::Update()
{
    direction = Vector3(std::sin(yaw), 0.0f, std::cos(yaw));
    direction.Normalize();
    target.x = position.x + direction.x * LookDistance;
    target.z = position.z + direction.z * LookDistance;
    target.y = TargetHeight;
}

void CCamera::Turn(float angle)
{
    yaw += angle;
    Update();
}

void CCamera::Rise(float step)
{
    if (position.y + step < LowestEyeHeight && step < 0.0f)
        return;
    position.y += step;
    Update();
}

void CCamera::MoveForward(float distance)
{
    position.x += direction.x * distance;
    position.z += direction.z * distance;
    Update();
}

void CCamera::Strafe(float distance)
{
    position.x += -direction.z * distance;
    position.z += direction.x * distance;
    Update();
}

void CCamera::ApplyView(MatrixUse matrixUse, int mode) const
{
    if (matrixUse == ResetMatrix)
    {
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(position.x, position.y, position.z, target.x, target.y, target.z, up.x, up.y, up.z);
        return;
    }
    if (mode == NormalView)
        gluLookAt(position.x, position.y, position.z, target.x, target.y, target.z, 0.0, 1.0, 0.0);
    else if (mode == MirroredView)
        gluLookAt(position.x, -position.y, position.z, target.x, -target.y, target.z, 0.0, 1.0, 0.0);
}
