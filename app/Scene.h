// SPDX-License-Identifier: MIT
// The scene's life: start-up once before the message loop, one frame per idle turn, shutdown
// once after it.
#pragma once

#include "app/FrameStage.h"
#include "app/FrameTimer.h"

class CWindow;

// The program's window; its context is made current by the first step of InitScene.
extern CWindow MainWindow;

// Makes the folder that holds every file InitScene reads the working folder (see DataFolder.h);
// where none does, one box names the folders tried and what each lacks, and it gives false.
bool EnterDataFolder();

// The time the frames stand for: the steady clock's in the program; the tools fix its step.
extern FrameTimer SceneTimer;

void InitScene();
void RenderFrame();
// RenderFrame, telling `observer` as each stage of the frame has been issued.
void RenderObservedFrame(IFrameObserver& observer);
void ShutdownScene();
