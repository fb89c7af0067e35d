// SPDX-License-Identifier: MIT
// A message about a place in a text file, in the one form every report of the program uses:
// "FILE(LINE): MESSAGE", or "FILE: MESSAGE" about the file as a whole. Compiler listings, effect
// checks and the settings file all speak it.
#pragma once

#include <string>

std::string FileMessage(const std::string& file, int line, const std::string& message);
std::string FileMessage(const std::string& file, const std::string& message);
