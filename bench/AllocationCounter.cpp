#include "AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

extern "C" void* __libc_malloc(std::size_t size);
extern "C" void* __libc_calloc(std::size_t count, std::size_t size);
extern "C" void* __libc_realloc(void* block, std::size_t size);

namespace
{
std::atomic<std::uint64_t> allCount{0};
std::atomic<std::uint64_t> newCount{0};
}

extern "C" void* malloc(std::size_t size)
{
    allCount.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}

extern "C" void* calloc(std::size_t count, std::size_t size)
{
    allCount.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(count, size);
}

extern "C" void* realloc(void* block, std::size_t size)
{
    allCount.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(block, size);
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
    return AllocationCount{allCount.load(), newCount.load()};
}
