// Loads on a forced number of threads, for the tests that compare the JSON
// Lines reading in pieces with the one-thread reading.
#pragma once

#include <string>

#include "document_compare.h"
#include "load_text.h"

// Forces the thread count (and one byte of text per thread, so that small
// texts are cut too) for as long as it lives.
struct ForcedThreads {
    ForcedThreads(uint32_t threads) { load_test_set_threads(threads, 1); }
    ~ForcedThreads() { load_test_set_threads(0, 0); }
};

inline DocumentPtr load_on_threads(const std::string& text, LoadOptions options, uint32_t threads,
                                   const LoadProgress* progress = nullptr, uint32_t* outcome = nullptr) {
    ForcedThreads forced(threads);
    return load_text(text, options, progress, outcome);
}

// "" when the load on `threads` threads builds the one-thread Document.
inline std::string parallel_difference(const std::string& text, LoadOptions options, uint32_t threads) {
    DocumentPtr one = load_on_threads(text, options, 1), many = load_on_threads(text, options, threads);
    if (!one || !many) return "no Document";
    return document_difference(one.get(), many.get());
}
