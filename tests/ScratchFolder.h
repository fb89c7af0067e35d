// SPDX-License-Identifier: MIT
// A temporary folder for the files a test writes and reads back; removed with everything in it
// when the test ends.
#pragma once

#include <filesystem>
#include <string>

class ScratchFolder
{
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Writes `text` into the file `name` of the folder and returns the file's path.
    std::string Write(const std::string& name, const std::string& text) const;
    std::string PathOf(const std::string& name) const { return (folder / name).string(); }

private:
    std::filesystem::path folder;
};
