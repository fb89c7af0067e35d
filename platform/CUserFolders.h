// SPDX-License-Identifier: MIT
// Where the program keeps what it writes for its user, by the XDG Base Directory rules: installed,
// it runs in a data folder that the user cannot write. Free of SDL and GL, so that each rule is
// tested with concrete environments.
#pragma once

#include <cstddef>
#include <map>
#include <string>

// Far more than the few lines of a user-dirs.dirs; a longer file is not one, and is not read.
constexpr std::size_t MaxUserDirsBytes = 64 * 1024;

class CUserFolders
{
public:
    // Variables by name (HOME, XDG_CONFIG_HOME, XDG_STATE_HOME). One that is missing, empty or,
    // for the XDG ones, not an absolute path counts as unset, as the rules say.
    using Environment = std::map<std::string, std::string>;

    explicit CUserFolders(Environment environment);
    // The process's own environment; without HOME, the home folder of the user's account.
    static CUserFolders OfThisProcess();

    // $XDG_CONFIG_HOME/merrowind, else ~/.config/merrowind: the settings.
    std::string Config() const;
    // $XDG_STATE_HOME/merrowind, else ~/.local/state/merrowind: the inspector's window layout.
    std::string State() const;
    // The pictures folder that $XDG_CONFIG_HOME/user-dirs.dirs names (XDG_PICTURES_DIR, "$HOME/..."
    // or an absolute path), else, without that file or that line, the home folder: screenshots.
    // False, with the reason in `error`, when the file is there but is no regular file, cannot be
    // read or is longer than MaxUserDirsBytes, or the folder it names is no path (see PathProblem).
    bool Pictures(std::string& folder, std::string& error) const;

private:
    std::string Home() const;
    std::string BaseFolder(const std::string& variable, const std::string& underHome) const;

    Environment environment;
};

// Creates `folder` and every missing folder above it; false, with the reason in `error`, when
// that cannot be done.
bool CreateFolders(const std::string& folder, std::string& error);

// Replaces the file at `path` with `text` as a whole: written into a new file beside it, then
// renamed over it, so that a failure leaves the old file as it was and nothing beside it. Its
// folder is created first where it is missing. Where `path` is a symbolic link, the file it leads
// to is replaced and the link stays. False, with the reason in `error`, when any step fails.
bool ReplaceFile(const std::string& path, const std::string& text, std::string& error);
