#include "base/memory.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {

std::atomic<uint64_t> g_fail_at{0};
std::atomic<uint64_t> g_count{0};
std::atomic<bool> g_every_later{false};

// True when the hook says this allocation must fail. Costs one relaxed load
// when the hook is not armed.
bool hook_says_fail() {
    uint64_t fail_at = g_fail_at.load(std::memory_order_relaxed);
    uint64_t n = g_count.fetch_add(1, std::memory_order_relaxed) + 1;
    if (fail_at == 0) return false;
    return n == fail_at || (n > fail_at && g_every_later.load(std::memory_order_relaxed));
}

}  // namespace

void* mem_alloc(size_t size) {
    if (hook_says_fail()) return nullptr;
    return std::malloc(size ? size : 1);
}

void* mem_alloc_zeroed(size_t size) {
    if (hook_says_fail()) return nullptr;
    return std::calloc(1, size ? size : 1);
}

void* mem_realloc(void* block, size_t size) {
    if (hook_says_fail()) return nullptr;
    return std::realloc(block, size ? size : 1);
}

void mem_free(void* block) { std::free(block); }

void mem_test_fail_at(uint64_t n, bool every_later) {
    g_fail_at.store(0, std::memory_order_relaxed);
    g_count.store(0, std::memory_order_relaxed);
    g_every_later.store(every_later, std::memory_order_relaxed);
    g_fail_at.store(n, std::memory_order_relaxed);
}

uint64_t mem_test_allocation_count() { return g_count.load(std::memory_order_relaxed); }
