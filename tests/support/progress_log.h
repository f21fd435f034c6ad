// A ProgressContext for tests: records every report of a run, and can set the
// cancel flag at the n-th one.
#pragma once

#include <atomic>
#include <cstdint>
#include <utility>
#include <vector>

#include "base/progress.h"

using ProgressReports = std::vector<std::pair<uint64_t, uint64_t>>;  // done, total

struct ProgressLog {
    ProgressReports reports;
    std::atomic<uint32_t> cancel{0};
    size_t cancel_at = 0;  // 1-based report that sets the cancel flag; 0 never
    ProgressContext context() { return ProgressContext{record, this, &cancel}; }
    static void record(void* argument, uint64_t done, uint64_t total) {
        ProgressLog* log = static_cast<ProgressLog*>(argument);
        log->reports.emplace_back(done, total);
        if (log->reports.size() == log->cancel_at) log->cancel.store(1);
    }
};
