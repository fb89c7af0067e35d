// SPDX-License-Identifier: MIT
#include "camera/Projection.h"

#include <epoxy/gl.h>
#include <GL/glu.h>

void LoadPerspective(double aspectWidth, double aspectHeight)
{
    const double aspect = aspectHeight != 0.0 ? aspectWidth / aspectHeight : 1.0;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(FieldOfViewDegrees, aspect, NearPlane, FarPlane);
}
