// SPDX-License-Identifier: MIT
// Counts heap allocations in the benchmark process: every malloc, calloc and realloc (the
// driver's threads included) and, among them, those made through C++ operator new.
#pragma once

#include <cstdint>

struct AllocationCount
{
    std::uint64_t all = 0;
    std::uint64_t cplusplus = 0;
};

AllocationCount CountAllocations();

// Every heap allocation so far, in all threads.
std::uint64_t CountMallocs();
