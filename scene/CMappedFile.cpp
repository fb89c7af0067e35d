// SPDX-License-Identifier: MIT
#include "scene/CMappedFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

CMappedFile::CMappedFile(const char* fileName)
{
    // Opening a named pipe or a device for reading can wait for a writer forever; without
    // blocking the open returns at once, and the check below refuses what is not a regular file.
    descriptor = open(fileName, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (descriptor < 0)
        return;
    // An empty file cannot be mapped, and a directory, a pipe or a device is no image file.
    struct stat status;
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size <= 0)
        return;
    size = static_cast<std::size_t>(status.st_size);
    void* mapped = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, descriptor, 0);
    if (mapped != MAP_FAILED)
        view = mapped;
}

CMappedFile::~CMappedFile()
{
    if (view != nullptr)
        munmap(view, size);
    if (descriptor >= 0)
        close(descriptor);
}
