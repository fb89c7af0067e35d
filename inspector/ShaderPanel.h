// The inspector's shader panel: every program and effect file of the scene, whether its last
// version is the one in use, and the compiler's listing on it. While the panel is drawn the files
// are watched, and a changed one is rebuilt in place; with the panel closed nothing is reloaded.
#pragma once

void DrawShaderPanel();
