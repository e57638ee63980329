#include "platform/Memory.h"

#include <sys/mman.h>

#include <cstdlib>

namespace {

// The size of a huge page on x86-64 and arm64 Linux; smaller blocks gain nothing from it.
constexpr std::size_t kHugePage = std::size_t{2} << 20;

}  // namespace

void* AllocateLargeBlock(std::size_t nSize) {
    if (nSize < kHugePage) {
        return std::malloc(nSize);
    }
    const std::size_t nRounded = (nSize + kHugePage - 1) / kHugePage * kHugePage;
    void* pBlock = std::aligned_alloc(kHugePage, nRounded);
    if (pBlock) {
        // Only advice: where the kernel has no huge pages to give, the block works as it is.
        ::madvise(pBlock, nRounded, MADV_HUGEPAGE);
    }
    return pBlock;
}

void FreeLargeBlock(void* pBlock) {
    std::free(pBlock);
}
