// SPDX-License-Identifier: MIT
// A 4 x 4 single-precision matrix in OpenGL's column-major order, so that the sixteen floats
// glGetFloatv fills are the matrix itself.
#pragma once

#include "camera/Vector3.h"

class Matrix4
{
public:
    Matrix4() { MakeIdentity(); }

    // Element in row `row` and column `column`, both 0 to 3.
    float& operator()(int row, int column) { return elements[row + 4 * column]; }
    float operator()(int row, int column) const { return elements[row + 4 * column]; }

    void MakeIdentity();

    // Gauss-Jordan elimination with scaled partial pivoting; a singular matrix gives the identity.
    Matrix4 Inverse() const;
    Matrix4 Transpose() const;

    // destination = (source, 1) as a row vector times this matrix, divided by its fourth
    // component. source and destination may be the same vector. A fourth component of exactly 0
    // (a projective matrix, never an affine one) leaves the three values undivided.
    void MultVecMatrix(const Vector3& source, Vector3& destination) const;

    float elements[16];
};
