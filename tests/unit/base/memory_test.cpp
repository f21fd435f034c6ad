#include "base/memory.h"

#include <gtest/gtest.h>

namespace {

TEST(Memory, HookFailsExactlyTheChosenAllocation) {
    mem_test_fail_at(2);
    void* first = mem_alloc(16);
    void* second = mem_alloc(16);
    void* third = mem_alloc_zeroed(16);
    mem_test_fail_at(0);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(second, nullptr);
    EXPECT_NE(third, nullptr);
    mem_free(first);
    mem_free(third);
}

TEST(Memory, HookCanFailEveryLaterAllocation) {
    mem_test_fail_at(1, true);
    void* a = mem_alloc(1);
    void* b = mem_alloc(1);
    EXPECT_EQ(mem_test_allocation_count(), 2u);
    mem_test_fail_at(0);
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(b, nullptr);
}

TEST(Memory, FailedReallocKeepsTheOldBlock) {
    char* block = static_cast<char*>(mem_alloc(4));
    ASSERT_NE(block, nullptr);
    block[0] = 'x';
    mem_test_fail_at(1);
    void* grown = mem_realloc(block, 1 << 20);
    mem_test_fail_at(0);
    EXPECT_EQ(grown, nullptr);
    EXPECT_EQ(block[0], 'x');
    mem_free(block);
}

TEST(Memory, ZeroSizeAndOverflowingArrays) {
    void* empty = mem_alloc(0);
    EXPECT_NE(empty, nullptr);
    mem_free(empty);
    EXPECT_EQ(mem_alloc_array<uint64_t>(UINT64_MAX / 4), nullptr);
    uint8_t* zeroed = static_cast<uint8_t*>(mem_alloc_zeroed(64));
    ASSERT_NE(zeroed, nullptr);
    for (int i = 0; i < 64; i++) EXPECT_EQ(zeroed[i], 0);
    mem_free(zeroed);
}

}  // namespace
