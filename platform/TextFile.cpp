// SPDX-License-Identifier: MIT
// Reads a whole text file into a string, and stamps files.
#include "platform/TextFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// A descriptor closed when it goes out of scope.
struct CFileDescriptor
{
    explicit CFileDescriptor(int descriptor) : descriptor(descriptor) {}
    ~CFileDescriptor()
    {
        if (descriptor >= 0)
            close(descriptor);
    }
    CFileDescriptor(const CFileDescriptor&) = delete;
    CFileDescriptor& operator=(const CFileDescriptor&) = delete;

    const int descriptor;
};

bool ReadAll(int descriptor, std::string& text, std::size_t limit)
{
    char block[65536];
    while (text.size() < limit)
    {
        const std::size_t wanted = std::min(sizeof block, limit - text.size());
        const ssize_t count = read(descriptor, block, wanted);
        if (count == 0)
            return true;
        if (count < 0)
            return false;
        text.append(block, static_cast<std::size_t>(count));
    }
    return true;
}
}

std::string PathProblem(const std::string& path)
{
    if (path.find('\0') != std::string::npos)
        return "the path holds a NUL byte";
    if (path.size() >= PATH_MAX)
        return "the path is " + std::to_string(path.size()) + " bytes long; the system takes at most " +
               std::to_string(PATH_MAX - 1);
    return "";
}

bool ReadTextFile(const std::string& path, std::string& text, std::size_t limit, std::string& why)
{
    why = PathProblem(path);
    if (!why.empty())
        return false;
    // A named pipe or a device would make the open or the read wait for a writer forever, so the
    // open does not block and anything but a regular file is refused before it is read.
    const CFileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    struct stat status;
    if (file.descriptor < 0 || fstat(file.descriptor, &status) != 0)
    {
        why = std::strerror(errno);
        return false;
    }
    if (!S_ISREG(status.st_mode))
    {
        why = S_ISDIR(status.st_mode) ? std::strerror(EISDIR) : "it is not a regular file";
        return false;
    }
    std::string contents;
    if (!ReadAll(file.descriptor, contents, limit))
    {
        why = std::strerror(errno);
        return false;
    }
    text = std::move(contents);
    return true;
}

bool ReadTextFile(const std::string& path, std::string& text, std::size_t limit)
{
    std::string why;
    return ReadTextFile(path, text, limit, why);
}

FileStamp StampOf(const std::string& path)
{
    struct stat status;
    if (stat(path.c_str(), &status) != 0)
        return {};
    return {static_cast<long long>(status.st_mtim.tv_sec),  static_cast<long long>(status.st_mtim.tv_nsec),
            static_cast<long long>(status.st_size),         static_cast<long long>(status.st_ctim.tv_sec),
            static_cast<long long>(status.st_ctim.tv_nsec), static_cast<unsigned long long>(status.st_ino)};
}
