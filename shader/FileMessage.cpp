// SPDX-License-Identifier: MIT
#include "shader/FileMessage.h"

std::string FileMessage(const std::string& file, int line, const std::string& message)
{
    return file + "(" + std::to_string(line) + "): " + message;
}

std::string FileMessage(const std::string& file, const std::string& message)
{
    return file + ": " + message;
}
