#include "base/case_fold.h"

#include <cstring>

#include "base/utf8.h"

namespace {

// The next character of a UTF-8 text; a byte that starts no well-formed
// sequence stands for itself, kept apart from every character.
uint32_t next_character(const uint8_t** p, const uint8_t* end) {
    uint32_t length = utf8_sequence_length(*p, end);
    if (length == 0) return 0x110000 + *(*p)++;
    uint32_t c = utf8_decode(*p, length);
    *p += length;
    return c;
}

}  // namespace

uint32_t fold_case(uint32_t code_point) {
    if (code_point < 0x80) return code_point >= 'A' && code_point <= 'Z' ? code_point + 32 : code_point;
    // The last run that starts at or before the code point.
    uint32_t low = 0, high = CASE_FOLD_RUN_COUNT;
    while (low < high) {
        uint32_t middle = (low + high) / 2;
        if (CASE_FOLD_RUNS[middle].first <= code_point) low = middle + 1;
        else high = middle;
    }
    if (low == 0) return code_point;
    const CaseFoldRun& run = CASE_FOLD_RUNS[low - 1];
    uint32_t offset = code_point - run.first;
    if (offset % run.stride != 0 || offset / run.stride >= run.count) return code_point;
    return static_cast<uint32_t>(static_cast<int32_t>(code_point) + run.delta);
}

bool equal_without_case(const char* a, const char* b) {
    const auto* p = reinterpret_cast<const uint8_t*>(a);
    const auto* q = reinterpret_cast<const uint8_t*>(b);
    const uint8_t* p_end = p + std::strlen(a);
    const uint8_t* q_end = q + std::strlen(b);
    while (p < p_end && q < q_end) {
        if (fold_case(next_character(&p, p_end)) != fold_case(next_character(&q, q_end))) return false;
    }
    return p == p_end && q == q_end;
}
