// The small-object heap: blocks of every size class are aligned, whole and
// apart, blocks cross threads both ways, and the switch to the plain heap.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <thread>
#include <vector>

#include "rtl/smallheap.h"

namespace {

struct Filled {
    unsigned char* bytes;
    std::size_t size;
    unsigned char mark;
};

Filled fill(std::size_t size, unsigned char mark) {
    auto* bytes = static_cast<unsigned char*>(smallAllocate(size));
    for (std::size_t i = 0; i < size; ++i) bytes[i] = mark;
    return {bytes, size, mark};
}

bool intact(const Filled& block) {
    for (std::size_t i = 0; i < block.size; ++i)
        if (block.bytes[i] != block.mark) return false;
    return true;
}

// Blocks of each size around the class edges, several of each, freed in
// between and taken again, must keep every byte written.
TEST(SmallHeap, BlocksAreAlignedWholeAndApart) {
    const std::size_t sizes[] = {0, 1, 7, 8, 9, 15, 16, 17, 24, 100, 255, 256, 257, 320, 321, 1000, 1024, 1025, 70000};
    std::vector<Filled> blocks;
    for (int round = 0; round < 3; ++round) {
        for (std::size_t size : sizes)
            for (int i = 0; i < 40; ++i) blocks.push_back(fill(size, static_cast<unsigned char>(blocks.size())));
        for (std::size_t i = round; i < blocks.size(); i += 3) {
            ASSERT_TRUE(intact(blocks[i])) << blocks[i].size;
            smallRelease(blocks[i].bytes);
            blocks[i] = fill(blocks[i].size, static_cast<unsigned char>(~blocks[i].mark));
        }
    }
    for (const Filled& block : blocks) {
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block.bytes) % (2 * sizeof(void*)), 0u) << block.size;
        EXPECT_TRUE(intact(block)) << block.size;
        smallRelease(block.bytes);
    }
}

// Blocks made on one thread and freed on another, both ways, then blocks made
// again: nothing handed back across threads may be handed out twice.
TEST(SmallHeap, BlocksCrossThreads) {
    std::vector<Filled> mine, theirs;
    for (int i = 0; i < 2000; ++i) mine.push_back(fill(16 + i % 200, 1));
    std::thread([&] {
        for (const Filled& block : mine) smallRelease(block.bytes);
        for (int i = 0; i < 2000; ++i) theirs.push_back(fill(16 + i % 200, 2));
    }).join();
    for (const Filled& block : theirs) {
        EXPECT_TRUE(intact(block));
        smallRelease(block.bytes);
    }
    std::vector<Filled> again;
    for (int i = 0; i < 4000; ++i) again.push_back(fill(16 + i % 200, static_cast<unsigned char>(i)));
    for (const Filled& block : again) {
        EXPECT_TRUE(intact(block));
        smallRelease(block.bytes);
    }
}

TEST(SmallHeap, PlainHeapWhenTheEnvironmentAsks) {
    char value[8];
    bool plain = GetEnvironmentVariableA("NIMBORA_PLAIN_HEAP", value, sizeof value) > 0;
    EXPECT_EQ(smallHeapInUse(), !plain);
    bool otherThreadUses = true;
    std::thread([&] { otherThreadUses = smallHeapInUse(); }).join();
    EXPECT_FALSE(otherThreadUses);
}

}  // namespace
