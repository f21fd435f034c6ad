// Plain-text matching: the fold table, the needle, the eight-bytes-per-step
// candidate scan and the walk that confirms a candidate.
#include <bit>
#include <cstring>

#include "base/memory.h"
#include "search/matcher_internal.h"

namespace {

constexpr uint64_t LOW_SEVEN = 0x7F7F7F7F7F7F7F7Full;
constexpr uint64_t EVERY_BYTE = 0x0101010101010101ull;
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

uint64_t load_word(const uint8_t* p) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    return word;
}

// The top bit of every byte of x that is zero, and no other bit. Adding 0x7F
// to the low seven bits sets bit 7 exactly when one of them is set, and never
// carries into the next byte: byte 00 -> 7F -> 80; 41 -> C0 -> 00; 80 -> 00.
uint64_t zero_bytes(uint64_t x) { return ~(((x & LOW_SEVEN) + LOW_SEVEN) | x | LOW_SEVEN); }

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
    if (!state || !state->needle || start >= end || uint64_t(end - start) < state->needle_length) return nullptr;
    const uint8_t* last = end - state->needle_length;  // the last position that leaves a whole needle
    uint64_t first_mask = state->first_fold_mask, second_mask = state->second_fold_mask;
    uint64_t first = state->first_byte * EVERY_BYTE;
    // The alternatives are compared after the fold mask as well, so that the
    // 0xC4 of İ matches a second needle byte i (C4 | 20 = E4 on both sides).
    uint64_t first_alternative = (state->first_byte_alternative * EVERY_BYTE) | first_mask;
    uint64_t second = state->second_byte * EVERY_BYTE;
    uint64_t second_alternative = (state->second_byte_alternative * EVERY_BYTE) | second_mask;
    // Most needles have no alternatives and no dotless candidates: the tests
    // for them are skipped (the branches always go the same way).
    bool first_has_alternative = first_alternative != (first | first_mask);
    bool second_has_alternative = second_alternative != (second | second_mask);
    uint64_t dotless = state->dotless_candidates;
    bool use_second = state->use_second_byte;
    // Candidate lanes of the eight positions from p: bit 7 of byte k is set
    // when p + k passes the test.
    auto candidates = [&](const uint8_t* p) {
        uint64_t word = load_word(p) | first_mask;
        uint64_t lanes = zero_bytes(word ^ first);
        if (first_has_alternative) lanes |= zero_bytes(word ^ first_alternative);
        if (use_second) {
            uint64_t next = load_word(p + 1) | second_mask;
            uint64_t second_lanes = zero_bytes(next ^ second);
            if (second_has_alternative) second_lanes |= zero_bytes(next ^ second_alternative);
            lanes &= second_lanes;
        }
        if (dotless) lanes |= zero_bytes(load_word(p) ^ (DOTTED_CAPITAL_I_LEAD * EVERY_BYTE));
        return lanes;
    };
    const uint8_t* p = start;
    // Whole words first, two at a time, with one test for both.
    for (; last - p >= 15; p += 16) {
        uint64_t low = candidates(p), high = candidates(p + 8);
        if (low | high) return low ? p + std::countr_zero(low) / 8 : p + 8 + std::countr_zero(high) / 8;
    }
    for (; p <= last; p += 8) {
        uint64_t lanes = candidates(p);
        if (last - p < 7) lanes &= (uint64_t{1} << ((last - p + 1) * 8)) - 1;  // lanes past `last`
        if (lanes) return p + std::countr_zero(lanes) / 8;  // little-endian: lane 0 is p[0]
    }
    return nullptr;
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
