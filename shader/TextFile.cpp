// SPDX-License-Identifier: MIT
// Reads a whole text file into a string, and stamps files.
#include "shader/TextFile.h"

#include <algorithm>

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

bool ReadTextFile(const std::string& path, std::string& text, std::size_t limit)
{
    // A named pipe or a device would make the open or the read wait for a writer forever, so the
    // open does not block and anything but a regular file is refused before it is read.
    const CFileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    struct stat status;
    if (file.descriptor < 0 || fstat(file.descriptor, &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    std::string contents;
    if (!ReadAll(file.descriptor, contents, limit))
        return false;
    text = std::move(contents);
    return true;
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
