// SPDX-License-Identifier: MIT
// The stages of one frame, in order, and an observer that hears when each has been issued. The
// program renders without one; the benchmark times the stages and the snapshot tool reads the
// composed picture before the swap, both through the very same frame code.
#pragma once

enum class FrameStage
{
    Reflection,
    Refraction,
    MainScene,
    HdrChain,
    Composite,
    Swap,
};

constexpr int FrameStageCount = 6;

class IFrameObserver
{
public:
    virtual ~IFrameObserver() = default;
    virtual void StageFinished(FrameStage stage) = 0;
};
