// SPDX-License-Identifier: MIT
#include "hdr/CFrameBufferReal.h"

#include "hdr/FrameBufferBinding.h"

bool CFrameBufferReal::CreateBuffer(int bufferWidth, int bufferHeight)
{
    width = bufferWidth;
    height = bufferHeight;
    return true;
}

void CFrameBufferReal::ClearBuffer()
{
    glClear(ClearMask(hasColor, hasDepth, hasStencil));
}

void CFrameBufferReal::BindBuffer()
{
    if (isBound)
    {
        ReportRepeatedBind("CFrameBufferReal::BindBuffer");
        return;
    }
    BindSavingState(0, width, height, savedFrameBuffer, savedViewport);
    isBound = true;
}

void CFrameBufferReal::UnbindBuffer()
{
    if (!isBound)
        return;
    RestoreSavedState(savedFrameBuffer, savedViewport);
    isBound = false;
}
