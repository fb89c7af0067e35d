// SPDX-License-Identifier: MIT
// The built program as the end-to-end tests start it: its run folder, its path and the caption of
// its window.
#pragma once

#include <string>

inline const std::string RunFolder = MERROWIND_RUN_DIR;
inline const std::string Program = RunFolder + "/merrowind";
inline const std::string Caption = "Merrowind :)";
