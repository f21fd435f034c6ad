#include "base/memory.h"

#include <gtest/gtest.h>

namespace {

TEST(Memory, FailedReallocKeepsTheOldBlockAndArraySizesDoNotOverflow) {
    char* block = static_cast<char*>(mem_alloc(4));
    ASSERT_NE(block, nullptr);
    block[0] = 'x';
    mem_test_fail_at(1);
    void* grown = mem_realloc(block, 1 << 20);
    mem_test_fail_at(0);
    EXPECT_EQ(grown, nullptr);
    EXPECT_EQ(block[0], 'x');
    mem_free(block);
    EXPECT_EQ(mem_alloc_array<uint64_t>(UINT64_MAX / 4), nullptr);
    void* empty = mem_alloc(0);  // a valid block, not a failure
    EXPECT_NE(empty, nullptr);
    mem_free(empty);
}

}  // namespace
