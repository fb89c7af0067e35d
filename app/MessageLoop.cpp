// SPDX-License-Identifier: MIT
#include "app/MessageLoop.h"

int RunMessageLoop(IMessageSource& source, WindowProcedure procedure, void (*renderFrame)())
{
    Message message;  // zeroed, so the first turn always runs
    while (message.message != WM_QUIT)
    {
        if (source.PeekMessage(message) || source.WaitWhileHidden(message))
        {
            // The quit message belongs to the thread, not to the window: nothing receives it.
            if (message.message != WM_QUIT)
                procedure(message.message, message.wParam, message.lParam);
        }
        else
        {
            renderFrame();
        }
    }
    return static_cast<int>(message.wParam);
}
