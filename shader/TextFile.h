// Reads a whole text file, for the runtime's program and effect sources.
#pragma once

#include <string>

// False when the path names no regular file or it cannot be read.
bool ReadTextFile(const std::string& path, std::string& text);
