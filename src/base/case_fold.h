// Unicode's simple case folding (one character to one character), for
// comparing texts such as file names without case where the system offers
// no comparison of its own.
#pragma once

#include <cstdint>

// Code points first + i * stride (i < count) fold to themselves + delta.
struct CaseFoldRun {
    uint32_t first;
    uint8_t count;
    uint8_t stride;
    int32_t delta;
};

// Sorted by first; generated from Unicode's data (case_fold_table.cpp).
extern const CaseFoldRun CASE_FOLD_RUNS[];
extern const uint32_t CASE_FOLD_RUN_COUNT;

// The simple case fold of a code point; itself when it has none.
uint32_t fold_case(uint32_t code_point);

// Whether two zero-terminated UTF-8 texts are equal once every character is
// folded. A byte that starts no well-formed sequence equals only itself.
bool equal_without_case(const char* a, const char* b);
