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

// Child number 16 * k (k >= 1) of a container, noted as it is written so that
// the child index needs no walk over the children afterwards.
struct ChildMark {
    NodeId container;
    uint32_t sixteenth;  // k
    NodeId child;
};

struct LoaderScanners;

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
    uint8_t chunk0_fixed;  // chunk 0 may not move (other threads write into it): it cannot grow
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
    const uint8_t* lines_end;  // JSON Lines reading stops at this line start; absent: at the end of the text
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
    const LoaderScanners* scanners;  // one vector width for the whole load
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

// Bookkeeping shared by every width of the scanners (parse_state.cpp).
void set_error_at(ParseContext* c, const uint8_t* p, uint32_t message);
void add_line_start(ParseContext* c, const uint8_t* p);
// The common case inline: room in the table.
inline void record_line_start(ParseContext* c, const uint8_t* p) {
    Document* doc = c->document;
    if (doc->line_count < c->line_starts_capacity) doc->line_starts[doc->line_count++] = offset_of(c, p);
    else add_line_start(c, p);
}
[[nodiscard]] bool checkpoint(ParseContext* c, const uint8_t* p);
// Where the checkpoint after one at p falls: 16 MiB further on, or one past
// the end of the text when no more than that remains.
inline const uint8_t* checkpoint_after(const ParseContext* c, const uint8_t* p) {
    return c->text_end - p <= CHECKPOINT_INTERVAL ? c->text_end + 1 : p + CHECKPOINT_INTERVAL;
}
// Marks memory as exhausted: remembers the first position, and moves the next
// checkpoint to the start of the text so that the parser stops at its next check.
void note_out_of_memory(ParseContext* c, const uint8_t* p);

// The tables the parsers grow.
// The stack (with an empty base), the problem table and the line starts a
// reading starts with, for `length` bytes of text.
[[nodiscard]] bool allocate_first_tables(ParseContext* c, uint32_t length);
[[nodiscard]] bool reserve_nodes(ParseContext* c, NodeId id);
// Room in the Document's chunk pointer array for chunk number `chunk`
// (new slots empty); false past the last chunk allowed or without memory.
[[nodiscard]] bool reserve_chunk_slots(ParseContext* c, uint32_t chunk);
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

// A reading beside the loader's `c`, over the same text into tables of its
// own (Node ids from 0, records with parent NO_NODE), its first tables sized
// for about `length` bytes. False without memory; end it either way.
[[nodiscard]] bool start_side_reading(ParseContext* side, const ParseContext* c, uint32_t length);
void end_side_reading(ParseContext* side);

// Moves the Nodes read so far under a new Array root at node 0, before the
// records parser goes on.
[[nodiscard]] bool insert_records_root(ParseContext* c);
// Once reading records has stopped at `end`: closes what is still open, then
// the root (Unclosed when memory ran out); a root without records leaves an
// empty Document.
void close_records(ParseContext* c, const uint8_t* end);

// The entry points of the scanners and parsers, built once per vector width
// (core/scanners.h); loader_scanners gives the ones for the CPU's variant.
struct LoaderScanners {
    const uint8_t* (*skip_space)(ParseContext* c, const uint8_t* p);
    const uint8_t* (*parse_value)(ParseContext* c, const uint8_t* p);
    void (*parse_records)(ParseContext* c, const uint8_t* p, bool json_lines);
    // JSON Lines from the line start p up to c->lines_end, the end of the
    // text or a stop, under the records of stack[0]; returns where it stopped
    // and leaves the closing to the caller.
    const uint8_t* (*read_json_lines)(ParseContext* c, const uint8_t* p);
    // Several values from p up to the end of the text or a stop, under the
    // records of stack[0]; returns where it stopped, leaving the closing.
    const uint8_t* (*read_values)(ParseContext* c, const uint8_t* p);
};
const LoaderScanners* loader_scanners();
