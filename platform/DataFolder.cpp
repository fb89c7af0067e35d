// SPDX-License-Identifier: MIT
#include "platform/DataFolder.h"

#include <algorithm>
#include <filesystem>

namespace
{
namespace fs = std::filesystem;

// What `folder` lacks of `files`, for the report; empty when it has them all.
std::string Lacking(const std::string& folder, const std::vector<std::string>& files)
{
    std::error_code unreadable;
    if (!fs::is_directory(folder, unreadable))
        return "no such folder";
    std::vector<std::string> missing;
    for (const std::string& file : files)
        if (!fs::exists(fs::symlink_status(fs::path(folder) / file, unreadable)))
            missing.push_back(file);
    if (missing.size() == files.size())
        return "has none of them";
    std::string list;
    for (const std::string& file : missing)
        list += (list.empty() ? "" : ", ") + file;
    return list.empty() ? "" : "lacks " + list;
}
}

std::vector<std::string> DataFolderCandidates(const std::string& workingFolder, const std::string& executableFolder)
{
    std::vector<fs::path> folders;
    if (!workingFolder.empty())
        folders.emplace_back(workingFolder);
    if (!executableFolder.empty())
        for (const char* place : {".", "../share/merrowind", "../../share/merrowind"})
            folders.push_back(fs::path(executableFolder) / place);
    std::vector<std::string> candidates;
    for (const fs::path& folder : folders)
    {
        // Written as a person would, so that the report reads well and a folder is tried once.
        std::string candidate = folder.lexically_normal().string();
        if (candidate.size() > 1 && candidate.back() == '/')
            candidate.pop_back();
        if (std::find(candidates.begin(), candidates.end(), candidate) == candidates.end())
            candidates.push_back(candidate);
    }
    return candidates;
}

std::string FindDataFolder(const std::vector<std::string>& candidates, const std::vector<std::string>& files,
                           std::string& report)
{
    report = "The program's shaders (CG/) and images (*.bmp) are in none of the folders it looked in:";
    for (const std::string& folder : candidates)
    {
        const std::string lacking = Lacking(folder, files);
        if (lacking.empty())
            return folder;
        report += "\n" + folder + ": " + lacking;
    }
    return "";
}
