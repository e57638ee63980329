// The records of a load share a few large blocks, yet each is released on its own and a block
// goes with its last record (the sanitizer build finds a block freed too early or never).
#include "Article/RecordBlocks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace {

TEST(RecordBlocks, RecordsOfManyBlocksAreAlignedApartAndReleasedInAnyOrder) {
    struct Made {
        unsigned char* p;
        std::size_t size;
        unsigned char fill;
    };
    std::vector<Made> made;
    std::mt19937 random(7);
    {
        // Expecting less than is handed out makes the arena take several blocks.
        RecordArena arena(1000);
        for (int k = 0; k < 300000; ++k) {
            const std::size_t size = 30 + random() % 127;
            const std::size_t align = k % 3 == 0 ? 8 : 4;
            auto* p = static_cast<unsigned char*>(arena.Allocate(size, align));
            ASSERT_NE(p, nullptr);
            ASSERT_EQ(reinterpret_cast<std::uintptr_t>(p) % align, 0u);
            std::memset(p, k & 0xFF, size);
            made.push_back({p, size, static_cast<unsigned char>(k & 0xFF)});
        }
        // Taken back, the last room is handed out again.
        void* last = arena.Allocate(40, 4);
        arena.TakeBack(last);
        EXPECT_EQ(arena.Allocate(40, 4), last);
        arena.TakeBack(last);
        made.push_back({static_cast<unsigned char*>(AllocateRecord(64, true)), 64, 0});
    }
    std::shuffle(made.begin(), made.end(), random);
    for (const Made& m : made) {
        ASSERT_TRUE(std::all_of(m.p, m.p + m.size, [&](unsigned char c) { return c == m.fill; }))
            << "records overlap";
        ReleaseRecord(m.p);
    }
}

}  // namespace
