// SPDX-License-Identifier: MIT
#include "hdr/NamedTarget.h"

void LabelTarget(const NamedTarget& target)
{
    if (target.texture != 0 && (epoxy_gl_version() >= 43 || epoxy_has_gl_extension("GL_KHR_debug")))
        glObjectLabel(GL_TEXTURE, target.texture, -1, target.label);
}
