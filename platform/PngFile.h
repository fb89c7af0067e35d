// SPDX-License-Identifier: MIT
// Writes pictures as PNG files through libpng, free of GL so that it is tested on plain bytes.
#pragma once

#include <string>
#include <vector>

// Writes `rgb` (8-bit red, green, blue; width * height pixels, top row first) into a new file at
// `path`. An existing file is never replaced. False, with the reason in `error`, when the file
// cannot be made or written (a folder that is not writable, a full disk); a half-written file is
// removed then.
bool WritePngFile(const std::string& path, int width, int height, const std::vector<unsigned char>& rgb,
                  std::string& error);
