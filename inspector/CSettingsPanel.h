// SPDX-License-Identifier: MIT
// The inspector's settings panel: a slider for every water and HDR setting, a checkbox for vertical
// sync and a choice of render size, each with a button that puts it back to its default, and a
// button that saves them all into the settings file, with the outcome shown below it. A change
// reaches the programs in the next frame.
#pragma once

#include <string>

class CSettingsPanel
{
public:
    void Draw();

private:
    // What the last save gave, shown until the next one.
    std::string saveOutcome;
};
