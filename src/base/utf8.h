// The one rule for well-formed UTF-8 that columns, decoding, repair and
// character counting share:
//   2 bytes: lead C2-DF;
//   3 bytes: lead E0-EF, E0 needs a second byte of A0 or more, ED one of 9F or less;
//   4 bytes: lead F0-F4, F0 needs a second byte of 90 or more, F4 one of 8F or less;
//   continuation bytes 80-BF; a sequence never runs past the end of the text.
// Anything else (a stray continuation byte, C0, C1, F5-FF, a cut sequence) is
// one byte on its own.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

// Length of the well-formed sequence that starts at p (1 for ASCII, 2 to 4),
// or 0 when p holds a byte of 0x80 or above that does not start one. p < end.
inline uint32_t utf8_sequence_length(const uint8_t* p, const uint8_t* end) {
    uint8_t lead = p[0];
    if (lead < 0x80) return 1;
    size_t avail = static_cast<size_t>(end - p);
    auto cont = [](uint8_t b) { return (b & 0xC0) == 0x80; };
    if (lead >= 0xC2 && lead <= 0xDF) return (avail >= 2 && cont(p[1])) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        if (avail < 3 || !cont(p[1]) || !cont(p[2])) return 0;
        if (lead == 0xE0 && p[1] < 0xA0) return 0;
        if (lead == 0xED && p[1] > 0x9F) return 0;
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        if (avail < 4 || !cont(p[1]) || !cont(p[2]) || !cont(p[3])) return 0;
        if (lead == 0xF0 && p[1] < 0x90) return 0;
        if (lead == 0xF4 && p[1] > 0x8F) return 0;
        return 4;
    }
    return 0;
}

// True when none of the 8 bytes at p has its top bit set.
inline bool utf8_eight_ascii(const uint8_t* p) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    return (word & 0x8080808080808080ull) == 0;
}

// Characters in bytes [p, p + n): each well-formed sequence counts once, every
// other byte once. Reads only inside the range.
uint64_t utf8_count_chars(const uint8_t* p, size_t n);

// True when [p, p + n) is made only of well-formed sequences.
bool utf8_is_valid(const uint8_t* p, size_t n);

// The largest cut point at or before `limit` (limit <= length) that does not
// split a well-formed sequence of text[0, length).
size_t utf8_cut_point(const uint8_t* text, size_t length, size_t limit);

// The byte length of the longest prefix of text[0, length) that takes at most
// `units` UTF-16 units (a four-byte sequence takes two, every other character
// one) and splits no well-formed sequence.
size_t utf8_prefix_in_units(const uint8_t* text, size_t length, uint64_t units);

// Writes code point cp (at most 0x10FFFF, no check for surrogates) as UTF-8
// into out and returns the number of bytes (1 to 4).
uint32_t utf8_encode(uint32_t cp, uint8_t* out);

// The code point of the well-formed sequence at p whose length (1 to 4)
// utf8_sequence_length gave.
inline uint32_t utf8_decode(const uint8_t* p, uint32_t length) {
    static const uint8_t LEAD_BITS[5] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    uint32_t cp = p[0] & LEAD_BITS[length];
    for (uint32_t i = 1; i < length; i++) cp = (cp << 6) | (p[i] & 0x3Fu);
    return cp;
}
