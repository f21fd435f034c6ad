// Every allocation made by product code goes through these functions, so that
// tests can make any chosen allocation fail and check that the caller copes.
#pragma once
#include <cstddef>
#include <cstdint>

// Uninitialised memory, or nullptr. A size of 0 still allocates (1 byte), so
// nullptr always means failure.
[[nodiscard]] void* mem_alloc(size_t size);
[[nodiscard]] void* mem_alloc_zeroed(size_t size);
// Like realloc: on failure the old block is left untouched and nullptr is returned.
[[nodiscard]] void* mem_realloc(void* block, size_t size);
void mem_free(void* block);

// Allocates count items of T, or nullptr (also when count * sizeof(T) overflows).
template <typename T>
[[nodiscard]] T* mem_alloc_array(uint64_t count) {
    if (count > SIZE_MAX / sizeof(T)) return nullptr;
    return static_cast<T*>(mem_alloc(static_cast<size_t>(count) * sizeof(T)));
}
template <typename T>
[[nodiscard]] T* mem_realloc_array(T* block, uint64_t count) {
    if (count > SIZE_MAX / sizeof(T)) return nullptr;
    return static_cast<T*>(mem_realloc(block, static_cast<size_t>(count) * sizeof(T)));
}

// Test hook. After mem_test_fail_at(n), the n-th allocation from then on fails
// (and, with every_later set, every allocation after it too). n = 0 disarms.
// The counter covers mem_alloc, mem_alloc_zeroed and mem_realloc from all threads.
void mem_test_fail_at(uint64_t n, bool every_later = false);
// Allocations counted since the hook was last armed or disarmed.
uint64_t mem_test_allocation_count();

// Makes room for one more item in an array that grows by doubling: when
// `count` has reached *capacity, the capacity doubles (starting at `first`,
// never past 0xFFFFFFFF). False, with the array unchanged, when that cannot
// be had.
template <typename T>
[[nodiscard]] bool grow_for_one(T** items, uint32_t count, uint32_t* capacity, uint32_t first) {
    if (count < *capacity) return true;
    uint64_t grown = *capacity ? 2ull * *capacity : first;
    if (grown > 0xFFFFFFFFull) grown = 0xFFFFFFFFull;
    if (grown <= count) return false;
    T* moved = mem_realloc_array(*items, grown);
    if (!moved) return false;
    *items = moved;
    *capacity = static_cast<uint32_t>(grown);
    return true;
}
