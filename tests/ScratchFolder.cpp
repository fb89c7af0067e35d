// SPDX-License-Identifier: MIT
#include "ScratchFolder.h"

#include <fstream>
#include <random>

ScratchFolder::ScratchFolder()
{
    std::random_device random;
    folder = std::filesystem::temp_directory_path() / ("merrowind-test-" + std::to_string(random()));
    std::filesystem::create_directories(folder);
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

std::string ScratchFolder::Write(const std::string& name, const std::string& text) const
{
    std::ofstream(folder / name, std::ios::binary) << text;
    return PathOf(name);
}
