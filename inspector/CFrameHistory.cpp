// SPDX-License-Identifier: MIT
#include "inspector/CFrameHistory.h"

void CFrameHistory::Add(float milliseconds)
{
    durations[next] = milliseconds;
    next = (next + 1) % Capacity;
    if (count < Capacity)
        ++count;
}

double CFrameHistory::FramesPerSecond() const
{
    double total = 0.0;
    int frames = 0;
    while (frames < count && total < 1000.0)
    {
        total += durations[(next - 1 - frames + Capacity) % Capacity];
        ++frames;
    }
    return total > 0.0 ? frames * 1000.0 / total : 0.0;
}
