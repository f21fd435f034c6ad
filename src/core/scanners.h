// The hot scanners, written once over byte vectors (base/byte_vector.h) and
// built at each width in the namespace of that width, with the scanner and
// parser functions that use them. Internal to the loader.
#pragma once

#include "base/byte_vector.h"
#include "core/parse_context.h"

namespace VECTOR_NS {

// Lanes of the ASCII digits among the VECTOR_BYTES bytes at p.
inline uint64_t digit_lanes(const uint8_t* p) {
    ByteVector bytes = load_bytes(p);
    return lane_bits(both(at_least(bytes, '0'), at_most(bytes, '9')));
}

// Lanes of the bytes that stop a string scan: the quote, a backslash and
// every byte below 0x20.
inline uint64_t string_stop_lanes(const uint8_t* p, uint8_t quote) {
    ByteVector bytes = load_bytes(p);
    return lane_bits(either(either(equal_to(bytes, quote), equal_to(bytes, '\\')), at_most(bytes, 0x1F)));
}

// The end of a double-quoted string (p at its opening quote) that holds no
// escape and no control byte; nullptr when it holds one, or when the scan
// reaches `limit` (the next progress checkpoint): the full scanner then
// reads the string again and decides.
// Lanes of the double quotes among the VECTOR_BYTES bytes at p, and of all
// the bytes that stop a plain string there: quotes, backslashes and bytes
// below 0x20. Quotes apart, so that telling which stop came first needs no
// second read of the byte.
struct StringLanes {
    uint64_t quotes;
    uint64_t stops;
};
inline StringLanes string_lanes(const uint8_t* p) {
    ByteVector bytes = load_bytes(p);
    uint64_t quotes = lane_bits(equal_to(bytes, '"'));
    return {quotes, quotes | lane_bits(either(equal_to(bytes, '\\'), at_most(bytes, 0x1F)))};
}

inline const uint8_t* scan_plain_string(const uint8_t* p, const uint8_t* limit) {
    const uint8_t* q = p + 1;
    for (;;) {
        StringLanes lanes = string_lanes(q);
        if (lanes.stops)
            return (lanes.stops & -lanes.stops & lanes.quotes) ? q + __builtin_ctzll(lanes.quotes) + 1 : nullptr;
        q += VECTOR_BYTES;
        if (q >= limit) return nullptr;
    }
}

// Whether the string whose opening quote is at p is plain (no escape, no
// control byte) and `length` bytes long between its quotes, for a length
// below VECTOR_BYTES: its first stop, e.g. 0b1000 for "abc", is the quote
// at that length.
inline bool is_plain_string_of(const uint8_t* p, uint32_t length) {
    StringLanes lanes = string_lanes(p + 1);
    uint64_t quote = uint64_t{1} << length;
    return ((lanes.stops & (2 * quote - 1)) == quote) & ((lanes.quotes & quote) != 0);
}

// Lanes of spaces, tabs and carriage returns among the 32 bytes at p.
inline uint64_t blank_lanes32(const uint8_t* p) {
    uint64_t lanes = 0;
    for (uint32_t i = 0; i < 32; i += VECTOR_BYTES) {
        ByteVector bytes = load_bytes(p + i);
        lanes |= lane_bits(either(equal_to(bytes, ' '), either(equal_to(bytes, '\t'), equal_to(bytes, '\r')))) << i;
    }
    return lanes;
}

// Past a run of digits that starts at p.
inline const uint8_t* skip_digits(const uint8_t* p) {
    for (;;) {
        uint32_t run = static_cast<uint32_t>(__builtin_ctzll(~digit_lanes(p)));
        if (run < VECTOR_BYTES) return p + run;
        p += VECTOR_BYTES;
    }
}

// A number in JSON's own form: -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?,
// not followed by a letter, digit, "+", "-", "." or "_"; nullptr otherwise.
// Any length; scan_json_number reads the usual short ones quicker.
inline const uint8_t* scan_long_json_number(const uint8_t* p) {
    const uint8_t* r = p + (*p == '-');
    if (!is_digit(*r)) return nullptr;
    if (*r == '0') r++;
    else r = skip_digits(r);
    if (*r == '.') {
        if (!is_digit(r[1])) return nullptr;
        r = skip_digits(r + 2);
    }
    if ((*r | 0x20) == 'e') {
        r++;
        r += (*r == '+' || *r == '-');
        if (!is_digit(*r)) return nullptr;
        r = skip_digits(r + 1);
    }
    return ends_number_badly(*r) ? nullptr : r;
}

// As scan_long_json_number. The end comes first, from the run of bytes
// numbers are written with (digits, ".", "e", "E", "+", "-") among the 32
// bytes at p; the form is checked after, on the digits' lanes. The next
// token's read waits only for the run, and the check's branches are
// predicted. E.g. "-1.5e3," has the run 0b111111 and the digits 0b101010.
inline const uint8_t* scan_json_number(const uint8_t* p) {
    uint64_t digits = 0, run_lanes = 0;
    for (uint32_t i = 0; i < 32; i += VECTOR_BYTES) {
        ByteVector bytes = load_bytes(p + i);
        ByteVector digit = both(at_least(bytes, '0'), at_most(bytes, '9'));
        ByteVector sign = either(equal_to(bytes, '+'), equal_to(bytes, '-'));
        ByteVector other = either(equal_to(bytes, '.'), equal_to(either(bytes, splat(0x20)), 'e'));
        digits |= lane_bits(digit) << i;
        run_lanes |= lane_bits(either(digit, either(sign, other))) << i;
    }
    uint32_t length = static_cast<uint32_t>(__builtin_ctzll(~run_lanes));
    if (length == 32) return scan_long_json_number(p);
    uint32_t i = *p == '-';
    uint32_t run = static_cast<uint32_t>(__builtin_ctzll(~(digits >> i)));
    if (run == 0 || (run > 1 && p[i] == '0')) return nullptr;
    i += run;
    if (p[i] == '.') {
        run = static_cast<uint32_t>(__builtin_ctzll(~(digits >> (i + 1))));
        if (run == 0) return nullptr;
        i += 1 + run;
    }
    if ((p[i] | 0x20) == 'e') {
        i += 1 + (p[i + 1] == '+' || p[i + 1] == '-');
        run = static_cast<uint32_t>(__builtin_ctzll(~(digits >> i)));
        if (run == 0) return nullptr;
        i += run;
    }
    if (i != length || ends_number_badly(p[length])) return nullptr;
    return p + length;
}

// The most numbers one call of scan_number_row finds ("1,1,1,...").
constexpr uint32_t NUMBER_ROW_MAX = 32;

// Array rows of numbers ("0.25,0.5,...") are most of many large files. This
// reads the 64 bytes at p at once and finds every number in JSON's plain
// form (-?(0|[1-9][0-9]*)(.[0-9]+)?) that is directly followed by a comma:
// the numbers' ends come from one comma mask, so no number waits for the
// scan of the one before it. Stores each comma's offset from p in `commas`
// and returns how many; stops at the first number it cannot vouch for,
// which the caller then reads the ordinary way.
inline uint32_t scan_number_row(const uint8_t* p, uint8_t commas[NUMBER_ROW_MAX]) {
    uint64_t comma = 0, digit = 0, dot = 0, minus = 0, zero = 0;
    for (uint32_t i = 0; i < 64; i += VECTOR_BYTES) {
        ByteVector bytes = load_bytes(p + i);
        comma |= lane_bits(equal_to(bytes, ',')) << i;
        digit |= lane_bits(both(at_least(bytes, '0'), at_most(bytes, '9'))) << i;
        dot |= lane_bits(equal_to(bytes, '.')) << i;
        minus |= lane_bits(equal_to(bytes, '-')) << i;
        zero |= lane_bits(equal_to(bytes, '0')) << i;
    }
    // A byte that rules out the number it stands in, for every number at
    // once: a byte outside these classes; no digit first (after a minus); a
    // minus inside; a leading zero before a digit; a dot not followed by a
    // digit; and a second dot, found where the digits after a dot end (the
    // carry of adding the bit after each dot runs through them). Numbers
    // that end before the first such byte are plain.
    uint64_t starts = (comma << 1) | 1;
    uint64_t first_digits = (starts & ~minus) | ((starts & minus) << 1);
    uint64_t bad = ~(comma | digit | dot | minus);
    bad |= first_digits & ~digit;
    bad |= minus & ~starts;
    bad |= first_digits & zero & (digit >> 1);
    bad |= dot & ~(digit >> 1);
    bad |= (digit + (dot << 1)) & ~digit & dot;
    uint64_t plain = comma & ((bad & -bad) - 1);
    uint32_t count = 0;
    while (plain) {
        commas[count++] = static_cast<uint8_t>(__builtin_ctzll(plain));
        plain &= plain - 1;
    }
    return count;
}

// Scanners.
const uint8_t* skip_space(ParseContext* c, const uint8_t* p);
const uint8_t* skip_whitespace(ParseContext* c, const uint8_t* p);
const uint8_t* skip_comment(ParseContext* c, const uint8_t* p);
const uint8_t* scan_string(ParseContext* c, const uint8_t* p, uint32_t* out_flags);
const uint8_t* scan_quoted(ParseContext* c, const uint8_t* string_start, uint8_t quote, const uint8_t* p,
                           uint32_t flags, uint32_t* out_flags);
const uint8_t* match_json5_number(const uint8_t* p);
const uint8_t* scan_json5_number(ParseContext* c, const uint8_t* p);
const uint8_t* scan_json5_value(ParseContext* c, const uint8_t* p);
const uint8_t* scan_json5_key(ParseContext* c, const uint8_t* p);

// Parsers: one value (parser.cpp), and records (records.cpp).
const uint8_t* parse_value(ParseContext* c, const uint8_t* p);
void parse_records(ParseContext* c, const uint8_t* p, bool json_lines);

// This width's entry points, for loader_scanners.
extern const LoaderScanners LOADER_SCANNERS;

}  // namespace VECTOR_NS
