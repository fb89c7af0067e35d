// SPDX-License-Identifier: MIT
// Where the message loop takes its messages from: the window in the program, a script in tests.
#pragma once

#include "platform/Messages.h"

class IMessageSource
{
public:
    virtual ~IMessageSource() = default;

    // Removes the next waiting message into `message`; false when none waits.
    virtual bool PeekMessage(Message& message) = 0;

    // While nothing of the window can be seen (minimised, hidden), waits for the next message
    // without using the processor and removes it into `message`; false, at once, when the window
    // can be seen and a frame would show.
    virtual bool WaitWhileHidden(Message& message) = 0;
};
