// Plain-text matching: the fold table, the needle and the walk that confirms
// a candidate (the candidate scan itself is in candidate_scan.cpp).
#include <cstring>

#include "base/cpu_variant.h"
#include "base/memory.h"
#include "search/matcher_internal.h"

namespace {

constexpr uint64_t CASE_BITS = 0x2020202020202020ull;
constexpr uint8_t DOTTED_CAPITAL_I_LEAD = 0xC4;  // U+0130 is C4 B0

// Folds a code point of U+00C0-U+017F; all others are compared as bytes.
//   U+00C0-U+00DE (not U+00D7)          -> + 0x20     (É C9 -> é E9)
//   U+0100-U+0137, U+014A-U+0177 even   -> next odd   (Ā 100 -> ā 101)
//   U+0139-U+0148, U+0179-U+017E odd    -> next even  (Ŀ 13F -> ŀ 140)
//   U+0130 İ -> i,  U+0178 Ÿ -> ÿ U+00FF
uint32_t fold_latin(uint32_t cp) {
    if (cp <= 0xDE) return cp == 0xD7 ? cp : cp + 0x20;
    if (cp < 0x100) return cp;
    if (cp == 0x130) return 'i';
    if (cp <= 0x137 || (cp >= 0x14A && cp <= 0x177)) return cp | 1;
    if ((cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E)) return (cp & 1) ? cp + 1 : cp;
    if (cp == 0x178) return 0xFF;
    return cp;
}

// Folds the character at p (p < end) into out and returns how many bytes it
// became (1 or 2); *consumed gets how many text bytes it took. ASCII capitals
// become small letters, a two-byte character with lead C3-C5 goes through the
// table, any other byte stays as it is.
uint32_t fold_at(const uint8_t* p, const uint8_t* end, uint8_t out[2], uint32_t* consumed) {
    uint8_t byte = p[0];
    *consumed = 1;
    if (byte >= 'A' && byte <= 'Z') {
        out[0] = static_cast<uint8_t>(byte | 0x20);
        return 1;
    }
    if (byte >= 0xC3 && byte <= 0xC5 && end - p >= 2 && (p[1] & 0xC0) == 0x80) {
        *consumed = 2;
        uint32_t cp = fold_latin((uint32_t{byte & 0x1Fu} << 6) | (p[1] & 0x3Fu));
        if (cp < 0x80) {
            out[0] = static_cast<uint8_t>(cp);
            return 1;
        }
        out[0] = static_cast<uint8_t>(0xC0 | (cp >> 6));
        out[1] = static_cast<uint8_t>(0x80 | (cp & 0x3F));
        return 2;
    }
    out[0] = byte;
    return 1;
}

// Does the text at p, folded character by character, begin with the needle?
// Returns where the walk stopped, or nullptr. The walk never passes `end`.
const uint8_t* folded_walk(const SearchState* state, const uint8_t* p, const uint8_t* end) {
    const uint8_t* needle = state->needle;
    uint64_t k = 0, n = state->needle_length;
    while (k < n) {
        if (p >= end) return nullptr;
        uint8_t folded[2];
        uint32_t consumed;
        uint32_t length = fold_at(p, end, folded, &consumed);
        if (length > n - k || std::memcmp(folded, needle + k, length) != 0) return nullptr;
        k += length;
        p += consumed;
    }
    return p;
}

}  // namespace

bool prepare_plain_needle(SearchState* state, const uint8_t* query, uint64_t length) {
    uint8_t* needle = mem_alloc_array<uint8_t>(length + MATCHER_PADDING);
    if (!needle) return false;
    uint64_t n = 0;
    if (state->match_case) {
        std::memcpy(needle, query, length);
        n = length;
    } else {
        // Folding never lengthens: every character becomes at most as many bytes.
        for (const uint8_t *p = query, *end = query + length; p < end;) {
            uint32_t consumed;
            n += fold_at(p, end, needle + n, &consumed);
            p += consumed;
        }
    }
    std::memset(needle + n, 0, MATCHER_PADDING);
    state->needle = needle;
    state->needle_length = n;

    // Each alternative starts a candidate too: Ÿ (C5 B8) folds to ÿ (C3 BF) and
    // Ŀ (C4 BF) to ŀ (C5 80), so those needle leads also accept the other lead.
    auto alternative = [&](uint8_t byte) -> uint32_t {
        if (state->match_case) return byte;
        return byte == 0xC3 ? 0xC5 : byte == 0xC5 ? 0xC4 : byte;
    };
    auto small_letter = [&](uint8_t byte) { return !state->match_case && byte >= 'a' && byte <= 'z'; };
    uint8_t first = needle[0], second = needle[1];
    state->first_byte = first;
    state->first_byte_alternative = alternative(first);
    state->first_fold_mask = small_letter(first) ? CASE_BITS : 0;
    state->dotless_candidates = small_letter(first) && first == 'i' ? ~uint64_t{0} : 0;
    state->use_second_byte = n >= 2 && first < 0x80;
    state->second_byte = second;
    state->second_byte_alternative = small_letter(second) && second == 'i' ? DOTTED_CAPITAL_I_LEAD : alternative(second);
    state->second_fold_mask = small_letter(second) ? CASE_BITS : 0;
    return true;
}

const uint8_t* find_candidate(const SearchState* state, const uint8_t* start, const uint8_t* end) {
    if (cpu_variant() == CPU_VARIANT_AVX2) return vector_avx2::find_candidate(state, start, end);
    return vector_sse2::find_candidate(state, start, end);
}

PlainMatch find_plain(const SearchState* state, const uint8_t* start, const uint8_t* end) {
    for (const uint8_t* p = find_candidate(state, start, end); p; p = find_candidate(state, p + 1, end)) {
        if (state->match_case) {
            if (std::memcmp(p, state->needle, state->needle_length) == 0) return {p, p + state->needle_length};
        } else if (const uint8_t* stop = folded_walk(state, p, end)) {
            return {p, stop};
        }
    }
    return {nullptr, nullptr};
}
