// SPDX-License-Identifier: MIT
// Counts every malloc, calloc and realloc by standing in for them and forwarding to the C
// library's own.
#include "AllocationCounter.h"

#include <atomic>
#include <cstdlib>

extern "C" void* __libc_malloc(std::size_t size);
extern "C" void* __libc_calloc(std::size_t count, std::size_t size);
extern "C" void* __libc_realloc(void* block, std::size_t size);

namespace
{
std::atomic<std::uint64_t> mallocCount{0};
}

extern "C" void* malloc(std::size_t size)
{
    mallocCount.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}

extern "C" void* calloc(std::size_t count, std::size_t size)
{
    mallocCount.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(count, size);
}

extern "C" void* realloc(void* block, std::size_t size)
{
    mallocCount.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(block, size);
}

std::uint64_t CountMallocs()
{
    return mallocCount.load();
}
