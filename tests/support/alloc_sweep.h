// Runs an operation once for every allocation it makes, with that allocation
// failing (and, with every_later, all after it): run(n) is called with the
// n-th allocation set to fail, for n = 1, 2, ... until a run makes fewer than
// n allocations.
#pragma once

#include <cstdint>

#include "base/memory.h"

template <typename Run>
uint64_t sweep_allocation_failures(Run run, bool every_later = false) {
    uint64_t n = 1;
    for (;; n++) {
        mem_test_fail_at(n, every_later);
        run(n);
        bool reached = mem_test_allocation_count() >= n;
        mem_test_fail_at(0);
        if (!reached) break;
    }
    return n - 1;  // allocations a successful run makes
}
