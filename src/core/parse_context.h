// State shared by the scanners and parsers during one load, and their
// operations. Internal to the loader.
#pragma once

#include <cstdint>
#include <cstring>

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

// Bytes equal to zero get their top bit set in the result. Exact for the
// lowest flagged byte (a borrow can only flag bytes above a true zero), which
// is the only one the scanners look at: 0x41_00_22 -> lowest flag in byte 0.
inline uint64_t zero_bytes(uint64_t word) {
    return (word - 0x0101010101010101ull) & ~word & 0x8080808080808080ull;
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

// Scanners.
const uint8_t* skip_space(ParseContext* c, const uint8_t* p);
const uint8_t* skip_whitespace(ParseContext* c, const uint8_t* p);
const uint8_t* skip_comment(ParseContext* c, const uint8_t* p);
const uint8_t* scan_string(ParseContext* c, const uint8_t* p, uint32_t* out_flags);
const uint8_t* scan_quoted(ParseContext* c, const uint8_t* string_start, uint8_t quote, const uint8_t* p,
                           uint32_t flags, uint32_t* out_flags);
const uint8_t* scan_json_number(const uint8_t* p);
const uint8_t* match_json5_number(const uint8_t* p);
const uint8_t* scan_json5_number(ParseContext* c, const uint8_t* p);
const uint8_t* scan_json5_value(ParseContext* c, const uint8_t* p);
const uint8_t* scan_json5_key(ParseContext* c, const uint8_t* p);
void set_error_at(ParseContext* c, const uint8_t* p, uint32_t message);
void add_line_start(ParseContext* c, const uint8_t* p);
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

// Records parser.
[[nodiscard]] bool insert_records_root(ParseContext* c);
void parse_records(ParseContext* c, const uint8_t* p, bool json_lines);
