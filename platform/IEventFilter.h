// SPDX-License-Identifier: MIT
// What sees each of the window's events before it is translated into a message: an event it
// takes becomes no message.
#pragma once

union SDL_Event;

class IEventFilter
{
public:
    virtual ~IEventFilter() = default;
    // True: the event is taken.
    virtual bool TakeEvent(const SDL_Event& event) = 0;
};
