// Memory for large blocks that a program fills once and keeps, such as the records of a loaded
// history. A block of a few megabytes is aligned so that the kernel may back it with huge pages:
// a newly started program pays a page fault for every page it touches first, and at a million
// records 4 KiB pages make those faults most of the cost of a load.
#pragma once

#include <cstddef>

// A block of nSize bytes, not zeroed, aligned for any type; null when memory runs out.
void* AllocateLargeBlock(std::size_t nSize);
// Releases a block that AllocateLargeBlock made; null is ignored.
void FreeLargeBlock(void* pBlock);

// Releases a large block held by a std::unique_ptr.
struct LargeBlockDeleter {
    void operator()(void* pBlock) const { FreeLargeBlock(pBlock); }
};
