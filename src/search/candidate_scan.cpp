// The plain search's candidate scan: a vector of positions per step, then
// eight at a time (in one 64-bit word) for the last few, so that no read
// goes further past the end than the word scan's.
#include <bit>
#include <cstring>

#include "base/byte_vector.h"
#include "search/matcher_internal.h"

namespace VECTOR_NS {

namespace {

constexpr uint64_t LOW_SEVEN = 0x7F7F7F7F7F7F7F7Full;
constexpr uint64_t EVERY_BYTE = 0x0101010101010101ull;
constexpr uint8_t DOTTED_CAPITAL_I_LEAD = 0xC4;  // U+0130 is C4 B0

uint64_t load_word(const uint8_t* p) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    return word;
}

// The top bit of every byte of x that is zero, and no other bit. Adding 0x7F
// to the low seven bits sets bit 7 exactly when one of them is set, and never
// carries into the next byte: byte 00 -> 7F -> 80; 41 -> C0 -> 00; 80 -> 00.
uint64_t zero_bytes(uint64_t x) { return ~(((x & LOW_SEVEN) + LOW_SEVEN) | x | LOW_SEVEN); }

}  // namespace

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

    // Every word holds one byte repeated, so its low byte is the vector's.
    ByteVector first_fold = splat(static_cast<uint8_t>(first_mask)), second_fold = splat(static_cast<uint8_t>(second_mask));
    ByteVector first_v = splat(static_cast<uint8_t>(first)), first_alternative_v = splat(static_cast<uint8_t>(first_alternative));
    ByteVector second_v = splat(static_cast<uint8_t>(second)), second_alternative_v = splat(static_cast<uint8_t>(second_alternative));
    auto vector_candidates = [&](const uint8_t* p) {
        ByteVector bytes = load_bytes(p);
        ByteVector folded = either(bytes, first_fold);
        ByteVector hits = equal(folded, first_v);
        if (first_has_alternative) hits = either(hits, equal(folded, first_alternative_v));
        if (use_second) {
            ByteVector next = either(load_bytes(p + 1), second_fold);
            ByteVector second_hits = equal(next, second_v);
            if (second_has_alternative) second_hits = either(second_hits, equal(next, second_alternative_v));
            hits = both(hits, second_hits);
        }
        if (dotless) hits = either(hits, equal_to(bytes, DOTTED_CAPITAL_I_LEAD));
        return lane_bits(hits);
    };
    // Candidate lanes of the eight positions from p: bit 7 of byte k is set
    // when p + k passes the test.
    auto word_candidates = [&](const uint8_t* p) {
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
    // Whole vectors while the second byte's read stays within `end`.
    for (; last - p >= static_cast<ptrdiff_t>(VECTOR_BYTES) - 1; p += VECTOR_BYTES) {
        if (uint64_t lanes = vector_candidates(p)) return p + std::countr_zero(lanes);
    }
    for (; p <= last; p += 8) {
        uint64_t lanes = word_candidates(p);
        if (last - p < 7) lanes &= (uint64_t{1} << ((last - p + 1) * 8)) - 1;  // lanes past `last`
        if (lanes) return p + std::countr_zero(lanes) / 8;  // little-endian: lane 0 is p[0]
    }
    return nullptr;
}

}  // namespace VECTOR_NS
