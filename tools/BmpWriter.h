// SPDX-License-Identifier: MIT
// Writes pictures as uncompressed 24-bit BMP files.
#pragma once

#include "Picture.h"

#include <string>

// False when the file cannot be written.
bool WriteBmp(const std::string& path, const Picture& picture);
