// SPDX-License-Identifier: MIT
// Reads the fixed-function matrices and combines them on the CPU.
#include "shader/StateMatrix.h"

#include <epoxy/gl.h>

void ReadModelViewProjection(float (&product)[16])
{
    float projection[16];
    float modelView[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    MultiplyMatrices(projection, modelView, product);
}

void MultiplyMatrices(const float (&left)[16], const float (&right)[16], float (&product)[16])
{
    for (int column = 0; column < 4; ++column)
    {
        for (int row = 0; row < 4; ++row)
        {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += left[k * 4 + row] * right[column * 4 + k];
            product[column * 4 + row] = sum;
        }
    }
}
