// Where the message loop takes its messages from: the window in the program, a script in tests.
#pragma once

#include "platform/Messages.h"

class IMessageSource
{
public:
    virtual ~IMessageSource() = default;

    // Removes the next waiting message into `message`; false when none waits.
    virtual bool PeekMessage(Message& message) = 0;
};
