// SPDX-License-Identifier: MIT
#include "camera/EyePosition.h"

#include "camera/Matrix4.h"

#include <epoxy/gl.h>

Vector3 GetEyePosition(const CCamera& camera)
{
    Vector3 eye = camera.position;
    Matrix4 modelView;
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView.elements);
    // A row vector times the transposed inverse is the inverse times a column vector.
    const Matrix4 inverse = modelView.Inverse().Transpose();
    inverse.MultVecMatrix(eye, eye);
    return eye;
}
