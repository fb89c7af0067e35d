// SPDX-License-Identifier: MIT
// The durations of the last frames, for the inspector's frames per second and its frame-time
// graph: a ring of fixed size, so that adding a frame never allocates.
#pragma once

class CFrameHistory
{
public:
    static constexpr int Capacity = 240;

    void Add(float milliseconds);
    // Frames per second over the newest frames that together last up to one second; 0 with none.
    double FramesPerSecond() const;

    // The durations for a graph: Count() values from Values(), the oldest at Offset(), wrapping.
    const float* Values() const { return durations; }
    int Count() const { return count; }
    int Offset() const { return count < Capacity ? 0 : next; }

private:
    float durations[Capacity] = {};
    int count = 0;
    int next = 0;
};
