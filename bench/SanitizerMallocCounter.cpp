// SPDX-License-Identifier: MIT
// Counts heap allocations in a sanitized build, where the sanitizer owns malloc and cannot be
// stood in for: its allocation hook sees every malloc, calloc, realloc and operator new.
#include "AllocationCounter.h"

#include <atomic>
#include <cstddef>

// The sanitizer runtime's hook interface; GCC ships no header declaring it.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*onMalloc)(const volatile void*, std::size_t),
                                                         void (*onFree)(const volatile void*));

namespace
{
std::atomic<std::uint64_t> mallocCount{0};

void OnAllocation(const volatile void*, std::size_t)
{
    mallocCount.fetch_add(1, std::memory_order_relaxed);
}

// The runtime takes the hooks only in pairs.
void OnFree(const volatile void*)
{
}

const int hooksInstalled = __sanitizer_install_malloc_and_free_hooks(OnAllocation, OnFree);
}

std::uint64_t CountMallocs()
{
    return mallocCount.load();
}
