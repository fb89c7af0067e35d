// SPDX-License-Identifier: MIT
// Reads a whole text file, for the runtime's program and effect sources and for every file of the
// user's (the settings, user-dirs.dirs, the inspector's layout), and tells whether a file has
// changed since it was read. A user's file may be anything: a named pipe or a device would block
// a reader or never end, so only a regular file is read, and at most a bounded part of it.
#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <tuple>

// Why `path` cannot name a file, or nothing: a NUL byte would end it early (the system would see
// another path, one that may well exist), and the system refuses a path longer than PATH_MAX.
std::string PathProblem(const std::string& path);

// False, with the reason in `why`, when the path names no regular file or it cannot be read. At
// most `limit` bytes are read; the rest of a longer file is left unread (read limit + 1 to tell).
bool ReadTextFile(const std::string& path, std::string& text, std::size_t limit, std::string& why);
bool ReadTextFile(const std::string& path, std::string& text,
                  std::size_t limit = std::numeric_limits<std::size_t>::max());

// A file's modification time, size, status-change time and inode: a file rewritten, even within
// the same second, or replaced, gets another stamp, and so does one whose permissions changed (a
// file made readable again must be read again). A missing file has a stamp of its own, so
// creating it counts too.
struct FileStamp
{
    long long seconds = -1;
    long long nanoseconds = -1;
    long long size = -1;
    long long changeSeconds = -1;
    long long changeNanoseconds = -1;
    unsigned long long inode = 0;

    bool operator==(const FileStamp& other) const
    {
        return std::tie(seconds, nanoseconds, size, changeSeconds, changeNanoseconds, inode) ==
               std::tie(other.seconds, other.nanoseconds, other.size, other.changeSeconds, other.changeNanoseconds,
                        other.inode);
    }
    bool operator!=(const FileStamp& other) const { return !(*this == other); }
};

FileStamp StampOf(const std::string& path);
