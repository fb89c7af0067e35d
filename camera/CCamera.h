// SPDX-License-Identifier: MIT
// The viewer: an eye that walks on a horizontal heading and looks at a point 100 units ahead at
// height 10. It turns its state into the view transform of every pass, plain or mirrored in the
// water plane y = 0 for the reflection image.
#pragma once

#include "camera/Vector3.h"

class CCamera
{
public:
    // Which view ApplyView multiplies onto the model-view matrix.
    enum ViewMode
    {
        NormalView = 0,
        MirroredView = 1,
    };

    // Whether ApplyView multiplies the view onto the current model-view matrix or replaces it.
    enum MatrixUse
    {
        OntoCurrentMatrix,
        ResetMatrix,
    };

    CCamera() : position(0.0f), target(0.0f), direction(0.0f), spare(0.0f), up(0.0f) {}

    void Reset();
    void Turn(float angle);
    void Rise(float step);
    void MoveForward(float distance);
    void Strafe(float distance);

    // With ResetMatrix, replaces the model-view matrix with the plain view and ignores mode;
    // otherwise multiplies the view of `mode` onto the current matrix (any other mode: nothing).
    void ApplyView(MatrixUse matrixUse, int mode) const;

    void Update();

    Vector3 position;
    Vector3 target;
    Vector3 direction;
    Vector3 spare;
    Vector3 up;
    float yaw = 0.0f;
    float pitch = 0.0f;
};

// The viewer of the scene, the one instance (app/Globals.cpp).
extern CCamera Camera;
