// How long-running engine work (loading, building the text view, searching)
// reports progress and learns that it should stop. The caller owns the cancel
// flag and sets it from another thread; the worker only reads it, between
// steps, and reports (done, total) through the callback.
#pragma once

#include <atomic>
#include <cstdint>

struct ProgressContext {
    void (*callback)(void* argument, uint64_t done, uint64_t total);  // may be absent
    void* argument;
    const std::atomic<uint32_t>* cancel;  // may be absent; non-zero means cancel
};

inline bool progress_cancelled(const ProgressContext* progress) {
    return progress && progress->cancel && progress->cancel->load(std::memory_order_relaxed) != 0;
}

// A progress point: false when the cancel flag is set (nothing is reported
// then), else reports (done, total) and answers true.
[[nodiscard]] inline bool progress_point(const ProgressContext* progress, uint64_t done, uint64_t total) {
    if (progress_cancelled(progress)) return false;
    if (progress && progress->callback) progress->callback(progress->argument, done, total);
    return true;
}

// Progress in thousandths, as a window shows it: done × 1000 / total, worked
// out in 64 bits because texts reach 4 GB; 1000 when total is 0, never more.
inline uint32_t progress_per_mille(uint64_t done, uint64_t total) {
    if (total == 0 || done >= total) return 1000;
    return static_cast<uint32_t>(done * 1000 / total);
}
