// SPDX-License-Identifier: MIT
// C++ allocations are counted by replacing operator new; every heap allocation, the driver's
// threads included, by one of the two MallocCounter files, whichever this build links.
#include "AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace
{
std::atomic<std::uint64_t> newCount{0};
}

void* operator new(std::size_t size)
{
    newCount.fetch_add(1, std::memory_order_relaxed);
    if (void* block = std::malloc(size == 0 ? 1 : size))
        return block;
    throw std::bad_alloc();
}

void* operator new[](std::size_t size)
{
    return operator new(size);
}

// Libraries free what they got from the nothrow forms with plain delete, so those must come from
// the same allocator as ours.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    newCount.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size == 0 ? 1 : size);
}

void* operator new[](std::size_t size, const std::nothrow_t& nothrow) noexcept
{
    return operator new(size, nothrow);
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete[](void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

void operator delete[](void* block, std::size_t) noexcept
{
    std::free(block);
}

AllocationCount CountAllocations()
{
    return AllocationCount{CountMallocs(), newCount.load()};
}
