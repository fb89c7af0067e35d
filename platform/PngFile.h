// SPDX-License-Identifier: MIT
// Writes pictures as PNG files through libpng, free of GL so that it is tested on plain bytes.
#pragma once

#include <string>
#include <vector>

// How many names a new picture tries: `stem`.png, then `stem`-2.png up to `stem`-1000.png.
constexpr int MaxPngNames = 1000;

// Writes `rgb` (8-bit red, green, blue; width * height pixels, top row first) into a new file named
// `stem`.png, or where that name is taken, the first free one of `stem`-2.png, `stem`-3.png ...
// Each name is taken as the file is created (O_CREAT | O_EXCL): one that another process takes in
// the meantime is passed over, never replaced, and the picture goes under the next. `path` gives
// the name written, or the last tried. False, with the reason in `error`, when the file cannot be
// made or written (a folder that is not writable, a full disk, every name taken); a half-written
// file is removed then.
bool WriteNewPngFile(const std::string& stem, int width, int height, const std::vector<unsigned char>& rgb,
                     std::string& path, std::string& error);
