// SPDX-License-Identifier: MIT
#include "platform/CUserFolders.h"

#include "platform/TextFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <utility>

#include <pwd.h>
#include <unistd.h>

namespace
{
constexpr const char* ProgramFolder = "/merrowind";

// The quoted value of a user-dirs.dirs line `NAME="value"`, its backslash escapes undone, or
// nothing when the line sets another name or is not of that form.
bool QuotedValue(const std::string& line, const std::string& name, std::string& value)
{
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, name.size() + 2, name + "=\"") != 0)
        return false;
    std::string unquoted;
    for (std::size_t i = start + name.size() + 2; i < line.size(); ++i)
    {
        if (line[i] == '"')
        {
            value = unquoted;
            return true;
        }
        if (line[i] == '\\' && i + 1 < line.size())
            ++i;
        unquoted += line[i];
    }
    return false;
}

bool WriteAll(int file, const std::string& text)
{
    for (std::size_t done = 0; done < text.size();)
    {
        const ssize_t count = write(file, text.data() + done, text.size() - done);
        if (count < 0 && errno != EINTR)
            return false;
        done += count > 0 ? static_cast<std::size_t>(count) : 0;
    }
    return true;
}

// A user-dirs.dirs value as a path: "$HOME" followed by nothing or a '/', or an absolute path.
std::string FolderOf(const std::string& value, const std::string& home)
{
    const std::string homeVariable = "$HOME";
    if (value.compare(0, homeVariable.size(), homeVariable) == 0 &&
        (value.size() == homeVariable.size() || value[homeVariable.size()] == '/'))
        return home + value.substr(homeVariable.size());
    return !value.empty() && value[0] == '/' ? value : "";
}
}

CUserFolders::CUserFolders(Environment environment) : environment(std::move(environment)) {}

CUserFolders CUserFolders::OfThisProcess()
{
    Environment environment;
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME"})
        if (const char* value = std::getenv(name))
            environment[name] = value;
    if (environment["HOME"].empty())
        if (const passwd* account = getpwuid(getuid()))
            environment["HOME"] = account->pw_dir;
    return CUserFolders(std::move(environment));
}

std::string CUserFolders::Config() const
{
    return BaseFolder("XDG_CONFIG_HOME", "/.config") + ProgramFolder;
}

std::string CUserFolders::State() const
{
    return BaseFolder("XDG_STATE_HOME", "/.local/state") + ProgramFolder;
}

// The last line that names the folder counts, as when the file is read by a shell.
bool CUserFolders::Pictures(std::string& folder, std::string& error) const
{
    const std::string userDirs = BaseFolder("XDG_CONFIG_HOME", "/.config") + "/user-dirs.dirs";
    std::string text, why;
    folder = Home();
    error.clear();
    if (StampOf(userDirs) == FileStamp())
        return true;
    if (!ReadTextFile(userDirs, text, MaxUserDirsBytes + 1, why))
    {
        error = userDirs + ", which names the pictures folder, cannot be read: " + why;
        return false;
    }
    if (text.size() > MaxUserDirsBytes)
    {
        error = userDirs + ", which names the pictures folder, is longer than " + std::to_string(MaxUserDirsBytes) +
                " bytes: it is not read";
        return false;
    }
    std::string value;
    for (std::size_t start = 0; start < text.size();)
    {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        if (QuotedValue(text.substr(start, end - start), "XDG_PICTURES_DIR", value) && !FolderOf(value, Home()).empty())
            folder = FolderOf(value, Home());
        start = end + 1;
    }
    error = PathProblem(folder);
    if (!error.empty())
        error = "the pictures folder that " + userDirs + " names cannot be used: " + error;
    return error.empty();
}

// Without a home folder, files go where the program runs: a write there fails and says so.
std::string CUserFolders::Home() const
{
    const auto home = environment.find("HOME");
    return home == environment.end() || home->second.empty() ? "." : home->second;
}

std::string CUserFolders::BaseFolder(const std::string& variable, const std::string& underHome) const
{
    const auto base = environment.find(variable);
    if (base != environment.end() && !base->second.empty() && base->second[0] == '/')
        return base->second;
    return Home() + underHome;
}

bool CreateFolders(const std::string& folder, std::string& error)
{
    const std::string problem = PathProblem(folder);
    if (!problem.empty())
    {
        error = "cannot create the folder " + folder + ": " + problem;
        return false;
    }
    std::error_code failure;
    std::filesystem::create_directories(folder, failure);
    if (!failure && std::filesystem::is_directory(folder, failure))
        return true;
    error = "cannot create the folder " + folder + ": " + (failure ? failure.message() : std::strerror(ENOTDIR));
    return false;
}

namespace
{
// Where the file at `path` is a symbolic link, as a user's dotfiles often are, the file it leads
// to: renaming over the link itself would turn it into a file of its own and leave the linked
// file as it was. A link that leads nowhere is replaced itself.
std::string FileBehindLinks(const std::string& path)
{
    std::error_code failure;
    if (!std::filesystem::is_symlink(path, failure))
        return path;
    const std::filesystem::path target = std::filesystem::canonical(path, failure);
    return failure ? path : target.string();
}
}

// mkstemp creates the new file exclusively under a fresh name: a link planted beside the file is
// never followed, nor any other file overwritten. The data reach the disk before the rename.
bool ReplaceFile(const std::string& linkedPath, const std::string& text, std::string& error)
{
    const std::string path = FileBehindLinks(linkedPath);
    if (!CreateFolders(std::filesystem::path(path).parent_path().string(), error))
        return false;
    std::string aside = path + ".XXXXXX";
    error = PathProblem(aside);
    if (!error.empty())
        return false;
    const int file = mkstemp(aside.data());
    if (file < 0)
    {
        error = std::strerror(errno);
        return false;
    }
    int failure = WriteAll(file, text) && fsync(file) == 0 ? 0 : errno;
    if (close(file) != 0 && failure == 0)
        failure = errno;
    if (failure == 0 && std::rename(aside.c_str(), path.c_str()) != 0)
        failure = errno;
    if (failure == 0)
        return true;
    unlink(aside.c_str());
    error = std::strerror(failure);
    return false;
}
