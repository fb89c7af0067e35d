// Reads a whole text file into a string.
#include "shader/TextFile.h"

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

bool ReadAll(int descriptor, std::string& text)
{
    char block[65536];
    for (;;)
    {
        const ssize_t count = read(descriptor, block, sizeof block);
        if (count == 0)
            return true;
        if (count < 0)
            return false;
        text.append(block, static_cast<std::size_t>(count));
    }
}
}

bool ReadTextFile(const std::string& path, std::string& text)
{
    // A named pipe or a device would make the open or the read wait for a writer forever, so the
    // open does not block and anything but a regular file is refused before it is read.
    const CFileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    struct stat status;
    if (file.descriptor < 0 || fstat(file.descriptor, &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    std::string contents;
    if (!ReadAll(file.descriptor, contents))
        return false;
    text = std::move(contents);
    return true;
}
