// SPDX-License-Identifier: MIT
// The inspector's shader panel: every program and effect file of the scene, whether its last
// version is the one in use, and the compiler's listing on it. While the inspector is open the
// files are watched, and a changed one is rebuilt in place; with it closed nothing is reloaded.
#pragma once

// Called every frame while the inspector is open: looks at the files a few times a second. True
// when a file that built before has just failed, so that its listing can be brought into view.
bool PollShaderFiles();
// With `showFailure`, scrolls the inspector to the first failed file.
void DrawShaderPanel(bool showFailure);
