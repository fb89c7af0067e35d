// SPDX-License-Identifier: MIT
// A whole file mapped read-only into memory, for as long as the object lives.
#pragma once

#include <cstddef>

class CMappedFile
{
public:
    // Maps `fileName` if it names a non-empty regular file that can be read; IsOpen says whether it did.
    explicit CMappedFile(const char* fileName);
    ~CMappedFile();
    CMappedFile(const CMappedFile&) = delete;
    CMappedFile& operator=(const CMappedFile&) = delete;

    bool IsOpen() const { return view != nullptr; }
    const unsigned char* Bytes() const { return static_cast<const unsigned char*>(view); }
    std::size_t Size() const { return size; }

private:
    int descriptor = -1;
    void* view = nullptr;
    std::size_t size = 0;
};
