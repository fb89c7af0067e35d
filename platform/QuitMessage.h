// SPDX-License-Identifier: MIT
// The thread's posted quit message: once posted, the next peek of any message source returns it.
#pragma once

#include "platform/Messages.h"

void PostQuitMessage(int exitCode);

// Moves a posted quit message into `message`; false when none was posted.
bool TakePostedQuitMessage(Message& message);
