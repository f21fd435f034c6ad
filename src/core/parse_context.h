// State shared by the scanners and parsers during one load, and their
// operations. Internal to the loader.
#pragma once

#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/document.h"
#include "core/identifier.h"
#include "core/load.h"

// Most levels of nesting; one more is an error.
constexpr uint32_t MAX_DEPTH = 100000;
constexpr uint32_t MAX_STACK_ENTRIES = MAX_DEPTH + 2;
constexpr uint32_t CHECKPOINT_INTERVAL = 1u << 24;

struct StackEntry {
    Node* node;  // absent for the base of a single-value parse
    NodeId id;
    uint32_t child_count;
};

// Child number 16 * k (k >= 1) of a container, noted as it is written so that
// the child index needs no walk over the children afterwards.
struct ChildMark {
    NodeId container;
    uint32_t sixteenth;  // k
    NodeId child;
};

struct ParseContext {
    Document* document;
    const uint8_t* text_start;
    const uint8_t* text_end;
    uint8_t strict;
    uint8_t single_line;
    Node* write;       // where the next Node goes
    Node* region_end;  // end of the current chunk's usable region
    uint32_t chunk_array_capacity;
    uint32_t chunk0_capacity;
    StackEntry* stack;
    uint32_t depth;  // index of the top entry; 0 = only the base is open
    uint32_t stack_capacity;
    uint32_t line_starts_capacity;
    uint32_t large_counts_capacity;
    uint32_t problems_capacity;
    NodeId* big_containers;  // containers closed with 64 or more children
    uint32_t big_container_count;
    uint32_t big_container_capacity;
    uint8_t big_containers_failed;
    ChildMark* child_marks;  // in document order of the children
    uint32_t child_mark_count;
    uint32_t child_mark_capacity;
    uint8_t child_marks_failed;  // the marks could not grow: no child index
    uint8_t line_starts_failed;
    const uint8_t* next_checkpoint;
    const uint8_t* parse_end;
    const uint8_t* out_of_memory_position;
    const LoadProgress* progress;
    uint32_t error_offset;
    uint32_t error_message;
    uint8_t out_of_memory;
    uint8_t memory_problem_recorded;
    uint8_t cancelled;
    uint8_t stop_at_first_problem;  // several values read only to see whether any is bad
    DocumentForm form;
    NodeKind scanned_kind;
    uint32_t scanned_flags;
    const uint8_t* unterminated_comment;
};

// Flags reported by the string scanners.
constexpr uint32_t STRING_ESCAPED = 1;
constexpr uint32_t STRING_JSON5_ESCAPE = 8;

inline uint64_t load_word(const uint8_t* p) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    return word;
}

inline bool is_comment_start(const uint8_t* p) { return p[0] == '/' && (p[1] == '/' || p[1] == '*'); }

inline bool is_digit(uint8_t byte) { return byte >= '0' && byte <= '9'; }

inline bool is_ascii_letter(uint8_t byte) {
    uint8_t lower = byte | 0x20;
    return lower >= 'a' && lower <= 'z';
}

// Bytes that may not directly follow a word such as true, NaN or Infinity.
inline bool is_word_byte(uint8_t byte) { return is_ascii_letter(byte) || is_digit(byte) || byte == '_'; }


inline bool is_json_whitespace(uint8_t byte) { return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\r'; }

inline uint32_t offset_of(const ParseContext* c, const uint8_t* p) { return static_cast<uint32_t>(p - c->text_start); }

// Bytes that may not directly follow a number: ASCII letters, digits, "+",
// "-", "." and "_".
extern const uint8_t NUMBER_END_IS_BAD[256];
inline bool ends_number_badly(uint8_t byte) { return NUMBER_END_IS_BAD[byte] != 0; }

// Bit i set when p[i] is an ASCII digit, for i in 0..15; bit 16 always clear.
inline uint32_t digit_mask16(const uint8_t* p) {
#if defined(__SSE2__)
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i at_least_0 = _mm_cmpeq_epi8(_mm_max_epu8(bytes, _mm_set1_epi8('0')), bytes);
    __m128i at_most_9 = _mm_cmpeq_epi8(_mm_min_epu8(bytes, _mm_set1_epi8('9')), bytes);
    return static_cast<uint32_t>(_mm_movemask_epi8(_mm_and_si128(at_least_0, at_most_9)));
#else
    uint32_t mask = 0;
    for (int i = 0; i < 16; i++) mask |= uint32_t{is_digit(p[i])} << i;
    return mask;
#endif
}

// Bit i set when p[i] is the quote, a backslash or a byte below 0x20, for i
// in 0..15: the bytes that stop a string scan.
inline uint32_t string_stop_mask16(const uint8_t* p, uint8_t quote) {
#if defined(__SSE2__)
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i quotes = _mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(quote)));
    __m128i backslashes = _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\\'));
    __m128i controls = _mm_cmpeq_epi8(_mm_min_epu8(bytes, _mm_set1_epi8(0x1F)), bytes);
    return static_cast<uint32_t>(_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(quotes, backslashes), controls)));
#else
    uint32_t mask = 0;
    for (int i = 0; i < 16; i++) mask |= uint32_t{p[i] == quote || p[i] == '\\' || p[i] < 0x20} << i;
    return mask;
#endif
}

// The end of a double-quoted string (p at its opening quote) that holds no
// escape and no control byte, read 16 bytes at a time; nullptr when it holds
// one, or when the scan reaches `limit` (the next progress checkpoint): the
// full scanner then reads the string again and decides.
inline const uint8_t* scan_plain_string(const uint8_t* p, const uint8_t* limit) {
    const uint8_t* q = p + 1;
    for (;;) {
#if defined(__SSE2__)
        // Quotes apart from the other stops, so that telling which one came
        // first needs no second read of the byte.
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
        uint32_t quotes = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('"'))));
        __m128i backslashes = _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\\'));
        __m128i controls = _mm_cmpeq_epi8(_mm_min_epu8(bytes, _mm_set1_epi8(0x1F)), bytes);
        uint32_t others = static_cast<uint32_t>(_mm_movemask_epi8(_mm_or_si128(backslashes, controls)));
        uint32_t stops = quotes | others;
        if (stops) return (stops & -stops & quotes) ? q + __builtin_ctz(quotes) + 1 : nullptr;
#else
        uint32_t stops = string_stop_mask16(q, '"');
        if (stops) {
            const uint8_t* stop = q + __builtin_ctz(stops);
            return *stop == '"' ? stop + 1 : nullptr;
        }
#endif
        q += 16;
        if (q >= limit) return nullptr;
    }
}

// Bit i set when p[i] is a space, a tab or a carriage return, for i in 0..15.
inline uint32_t blank_mask16(const uint8_t* p) {
#if defined(__SSE2__)
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i blanks = _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(' ')),
                                  _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\t')),
                                               _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r'))));
    return static_cast<uint32_t>(_mm_movemask_epi8(blanks));
#else
    uint32_t mask = 0;
    for (int i = 0; i < 16; i++) mask |= uint32_t{p[i] == ' ' || p[i] == '\t' || p[i] == '\r'} << i;
    return mask;
#endif
}

// Bit i set when p[i] == byte, for i in 0..15.
inline uint32_t byte_mask16(const uint8_t* p, uint8_t byte) {
#if defined(__SSE2__)
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    return static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(byte)))));
#else
    uint32_t mask = 0;
    for (int i = 0; i < 16; i++) mask |= uint32_t{p[i] == byte} << i;
    return mask;
#endif
}

// Past a run of digits that starts at p, reading 16 bytes at a time.
inline const uint8_t* skip_digits16(const uint8_t* p) {
    for (;;) {
        uint32_t run = __builtin_ctz(~digit_mask16(p));
        if (run < 16) return p + run;
        p += 16;
    }
}

// A number in JSON's own form: -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?,
// not followed by a letter, digit, "+", "-", "." or "_"; nullptr otherwise.
inline const uint8_t* scan_json_number(const uint8_t* p) {
    const uint8_t* q = p + (*p == '-');
    if (!is_digit(*q)) return nullptr;
    const uint8_t* r = q + 1;
    if (is_digit(*r)) {
        if (*q == '0') return nullptr;  // a leading zero
        // The integer and a fraction that ends within the 16 bytes after the
        // sign come from one read, rather than a read for the fraction that
        // has to wait for the integer's.
        uint32_t digits = digit_mask16(q);
        uint32_t end = static_cast<uint32_t>(__builtin_ctz(~digits));  // 2 to 16
        r = q + end;
        if (end < 15 && *r == '.') {
            uint32_t fraction = static_cast<uint32_t>(__builtin_ctz(~(digits >> (end + 1))));
            if (fraction == 0) return nullptr;
            r += 1 + fraction;
            if (r == q + 16) r = skip_digits16(r);
            goto exponent;
        }
        if (end == 16) r = skip_digits16(r);
    }
    if (*r == '.') {
        if (!is_digit(r[1])) return nullptr;
        r = skip_digits16(r + 2);
    }
exponent:
    if ((*r | 0x20) == 'e') {
        r++;
        r += (*r == '+' || *r == '-');
        if (!is_digit(*r)) return nullptr;
        r = skip_digits16(r + 1);
    }
    return ends_number_badly(*r) ? nullptr : r;
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
    for (int i = 0; i < 4; i++) {
        comma |= uint64_t{byte_mask16(p + 16 * i, ',')} << (16 * i);
        digit |= uint64_t{digit_mask16(p + 16 * i)} << (16 * i);
        dot |= uint64_t{byte_mask16(p + 16 * i, '.')} << (16 * i);
        minus |= uint64_t{byte_mask16(p + 16 * i, '-')} << (16 * i);
        zero |= uint64_t{byte_mask16(p + 16 * i, '0')} << (16 * i);
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
void set_error_at(ParseContext* c, const uint8_t* p, uint32_t message);
void add_line_start(ParseContext* c, const uint8_t* p);
// The common case inline: room in the table.
inline void record_line_start(ParseContext* c, const uint8_t* p) {
    Document* doc = c->document;
    if (doc->line_count < c->line_starts_capacity) doc->line_starts[doc->line_count++] = offset_of(c, p);
    else add_line_start(c, p);
}
[[nodiscard]] bool checkpoint(ParseContext* c, const uint8_t* p);
// Marks memory as exhausted: remembers the first position, and moves the next
// checkpoint to the start of the text so that the parser stops at its next check.
void note_out_of_memory(ParseContext* c, const uint8_t* p);

// Structural parser and the tables it grows.
const uint8_t* parse_value(ParseContext* c, const uint8_t* p);
[[nodiscard]] bool reserve_nodes(ParseContext* c, NodeId id);
// Points the write position at Node `id` (after a rollback or reset).
void set_write_position(ParseContext* c, NodeId id);
[[nodiscard]] bool close_container(ParseContext* c, StackEntry* entry, NodeId end, uint32_t closing_flags,
                                   const uint8_t* p);
[[nodiscard]] bool add_large_value(ParseContext* c, NodeId id, uint32_t value);
[[nodiscard]] bool add_problem(ParseContext* c, uint32_t offset, uint32_t message, NodeId node);
void add_child_mark(ParseContext* c, NodeId container, uint32_t position, NodeId child);
// Called for every child written, with its position among its siblings.
inline void note_child(ParseContext* c, NodeId container, uint32_t position, NodeId child) {
    if ((position & 15) == 0 && position != 0) add_child_mark(c, container, position, child);
}

// Records parser.
[[nodiscard]] bool insert_records_root(ParseContext* c);
void parse_records(ParseContext* c, const uint8_t* p, bool json_lines);
