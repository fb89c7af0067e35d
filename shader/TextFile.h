// Reads a whole text file, for the runtime's program and effect sources.
#pragma once

#include <string>

// False when the file cannot be opened or read.
bool ReadTextFile(const std::string& path, std::string& text);
