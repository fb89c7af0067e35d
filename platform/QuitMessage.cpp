// SPDX-License-Identifier: MIT
#include "platform/QuitMessage.h"

namespace
{
bool quitPosted = false;
int quitCode = 0;
}

void PostQuitMessage(int exitCode)
{
    quitPosted = true;
    quitCode = exitCode;
}

bool TakePostedQuitMessage(Message& message)
{
    if (!quitPosted)
        return false;
    quitPosted = false;
    message = Message{WM_QUIT, static_cast<WPARAM>(quitCode), 0};
    return true;
}
