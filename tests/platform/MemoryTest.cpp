#include "platform/Memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

// Below and above the size from which blocks are aligned for huge pages, and not a multiple of
// it: every byte asked for is there to write (the sanitizer build sees a short block).
TEST(LargeBlock, EveryByteAskedForIsUsable) {
    for (const std::size_t size : {std::size_t{100}, (std::size_t{5} << 20) + 3}) {
        auto* block = static_cast<unsigned char*>(AllocateLargeBlock(size));
        ASSERT_NE(block, nullptr) << size;
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % alignof(std::max_align_t), 0u);
        std::memset(block, 0xab, size);
        EXPECT_EQ(block[size - 1], 0xab);
        FreeLargeBlock(block);
    }
    FreeLargeBlock(nullptr);
}

}  // namespace
