// The Document: one loaded text and everything read from it.
//
// Layout (all offsets and lengths are u32 byte offsets into `text`):
//
//   text            the stored UTF-8 text, followed by at least 64 zero bytes
//                   inside `text_allocation` (scanners read 8 bytes at a time
//                   and stop at the first zero byte past the end).
//   node table      Nodes in document order (pre-order), in chunks of 2^20:
//                   NodeId id lives in node_chunks[id >> 20][id & 0xFFFFF].
//                   Chunk 0 grows by reallocation while loading; later chunks
//                   are allocated whole and never move. At most 4,095 chunks.
//   Node            five u32 words:
//                     key_offset    the key token's first byte (its quote, or the
//                                   first character of an unquoted key), or NO_NODE
//                     value_offset  first byte of the value (quote, bracket, first
//                                   character; an Error node's line start)
//                     subtree_end   one past the last NodeId of the subtree
//                     parent        enclosing container, or NO_NODE for a root
//                     packed        bits 0-2 NodeKind, bits 3-6 NodeFlags,
//                                   bit 7 "large", bits 8-31 count or length
//                   A container's count is its number of children; a scalar's is
//                   the length of its source text (a string's includes both
//                   quotes). When bit 7 is set the field holds 0xFFFFFF and the
//                   true figure sits in `large_counts`.
//   line starts     offset of the first byte of every line, ascending.
//   problems        what stopped or broke the reading, sorted by offset.
//   child index     for containers with 64 or more children, the NodeId of
//                   every 16th child, so child_at / index_in_parent take at
//                   most 15 sibling steps.
//
// After loading the Document is read-only, except for the problem-info cache
// whose chunks are published once each by compare-and-swap.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "base/bounded_writer.h"

using NodeId = uint32_t;
constexpr uint32_t NO_NODE = 0xFFFFFFFF;
// Largest text the 32-bit offsets can hold.
constexpr uint32_t MAX_TEXT_LENGTH = 0xFFFFFF00;
// Zero bytes that must follow every text handed to the loader.
constexpr uint32_t TEXT_PADDING = 64;
constexpr uint32_t NODE_CHUNK_SHIFT = 20;
constexpr uint32_t NODE_CHUNK_SIZE = 1u << NODE_CHUNK_SHIFT;
constexpr uint32_t MAX_NODE_CHUNKS = 4095;
// Counts and lengths from this figure on live in the large-counts table.
constexpr uint32_t LARGE_COUNT = 1u << 24;
constexpr uint32_t COUNT_FIELD_LARGE = 0xFFFFFF;
constexpr uint32_t PROBLEM_INFO_CHUNK = 1024;

enum class NodeKind : uint32_t { Object = 0, Array = 1, String = 2, Number = 3, True = 4, False = 5, Null = 6, Error = 7 };

inline bool is_container_kind(NodeKind kind) { return (static_cast<uint32_t>(kind) & 6) == 0; }

namespace NodeFlags {
constexpr uint32_t ValueEscaped = 1;
constexpr uint32_t KeyEscaped = 2;
constexpr uint32_t Unclosed = 4;
constexpr uint32_t Json5Form = 8;
}  // namespace NodeFlags

enum class DocumentForm : uint32_t { Empty = 0, Single = 1, JsonLines = 2, Concatenated = 3 };

namespace SyntaxFeatures {
constexpr uint32_t Comments = 1;
constexpr uint32_t TrailingCommas = 2;
constexpr uint32_t Json5 = 4;
constexpr uint32_t RawControlChars = 8;
}  // namespace SyntaxFeatures

namespace NodePacked {
constexpr uint32_t KindMask = 7;
constexpr uint32_t FlagShift = 3;
constexpr uint32_t FlagMask = 0xF;
constexpr uint32_t Large = 0x80;
constexpr uint32_t CountShift = 8;
}  // namespace NodePacked

struct Node {
    uint32_t key_offset;
    uint32_t value_offset;
    uint32_t subtree_end;
    uint32_t parent;
    uint32_t packed;
};
static_assert(sizeof(Node) == 20);

// The message of every problem is one of these, stored by index.
enum ProblemMessage : uint32_t {
    MSG_UNEXPECTED_END_OF_FILE = 0,
    MSG_EXPECTED_VALUE = 1,
    MSG_EXPECTED_COMMA_OR_BRACE = 2,
    MSG_EXPECTED_COMMA_OR_BRACKET = 3,
    MSG_EXPECTED_COLON = 4,
    MSG_EXPECTED_KEY = 5,
    MSG_INVALID_NUMBER = 6,
    MSG_INVALID_ESCAPE = 7,
    MSG_UNTERMINATED_STRING = 8,
    MSG_CONTROL_CHARACTER = 9,
    MSG_INVALID_LITERAL = 10,
    MSG_TEXT_AFTER_VALUE = 11,
    MSG_TOO_DEEP = 12,
    MSG_TRAILING_COMMA = 13,
    MSG_COMMENTS_NOT_ALLOWED = 14,
    MSG_OUT_OF_MEMORY = 15,
    MSG_UNEXPECTED_END_OF_LINE = 16,
    MSG_EXPECTED_END_OF_LINE = 17,
    MSG_UNKNOWN = 18,
};
constexpr uint32_t PROBLEM_MESSAGE_COUNT = 19;

// The text of a message index; indexes past the table give "unknown error".
const char* problem_message_text(uint32_t message);

struct Problem {
    uint32_t offset;
    NodeId node;  // the Error node it belongs to, or NO_NODE
    uint32_t message;
};

struct ProblemInfo {
    uint32_t offset;
    uint32_t line;    // 1-based
    uint32_t column;  // 1-based, in characters
    NodeId node;
    char message[80];
};

struct LargeCount {
    NodeId id;
    uint32_t value;
};

struct ChildIndexDirectoryEntry {
    NodeId container;
    uint32_t start;  // first entry of this container in child_index_entries
};

struct TextSlice {
    const uint8_t* bytes;
    uint32_t length;
    bool escaped;  // backslash escapes must be resolved when decoding
};

struct Document {
    std::atomic<uint32_t> reference_count;
    const uint8_t* text;
    uint8_t* text_allocation;
    uint32_t text_length;
    DocumentForm form;
    const char* encoding_label;
    uint32_t features;
    Node** node_chunks;
    uint32_t chunk_count;
    uint32_t node_count;
    uint32_t* line_starts;
    uint32_t line_count;
    uint8_t has_long_lines;
    Problem* problems;
    uint32_t problem_count;
    uint32_t memory_problem_index;
    ProblemInfo first_problem_info;
    ProblemInfo** problem_info_chunks;  // slots published by compare-and-swap
    uint32_t problem_info_chunk_count;
    LargeCount* large_counts;
    uint32_t large_count_count;
    ChildIndexDirectoryEntry* child_index_directory;
    uint32_t child_index_directory_count;
    uint32_t* child_index_entries;
};

// Node access without checks; `id` must be below the node count.
inline Node* node_at(const Document* doc, NodeId id) {
    return doc->node_chunks[id >> NODE_CHUNK_SHIFT] + (id & (NODE_CHUNK_SIZE - 1));
}

// Lifetime.
Document* retain(Document* doc);
void release(Document* doc);

// Whole-document facts.
uint32_t node_count(const Document* doc);
const uint8_t* text(const Document* doc);
uint32_t text_length(const Document* doc);
DocumentForm form(const Document* doc);
const char* encoding_label(const Document* doc);
uint32_t features(const Document* doc);
uint8_t has_long_lines(const Document* doc);
bool is_records(const Document* doc);

// Per node. Out-of-range ids give the neutral answers.
NodeKind kind(const Document* doc, NodeId id);
uint32_t node_flags(const Document* doc, NodeId id);
NodeId parent(const Document* doc, NodeId id);
NodeId subtree_end(const Document* doc, NodeId id);
NodeId first_child(const Document* doc, NodeId id);
NodeId next_sibling(const Document* doc, NodeId id);
uint32_t child_count(const Document* doc, NodeId id);
NodeId child_at(const Document* doc, NodeId id, uint32_t index);
uint32_t index_in_parent(const Document* doc, NodeId id);
uint32_t depth(const Document* doc, NodeId id);
// The depth of `id`, found by walking up from `previous`, an earlier Node of
// known depth, to the parent of `id`: a walk over Nodes or rows in document
// order costs time linear in its length. Without such a `previous` (NO_NODE,
// or not before `id`) it is depth(id).
uint32_t depth_after(const Document* doc, NodeId previous, uint32_t previous_depth, NodeId id);
bool has_key(const Document* doc, NodeId id);
uint32_t key_offset(const Document* doc, NodeId id);
uint32_t value_offset(const Document* doc, NodeId id);
uint32_t value_length(const Document* doc, NodeId id);
// Where the value of `id` ends (one past its last byte, past its closing
// bracket), given where the value of its last child ends; scalars and empty
// containers ignore `last_child_end`. Walking the Nodes backwards, a caller has
// every value's end in linear time, where value_length walks down each subtree.
uint32_t value_end_after(const Document* doc, NodeId id, uint32_t last_child_end);
uint32_t record_line(const Document* doc, NodeId id);
uint32_t key_token_length(const Document* doc, NodeId id);
TextSlice key_text(const Document* doc, NodeId id);
// Decoded key or scalar value into buffer (snprintf contract); returns the
// full decoded length, which may exceed 4 GB for a large value of bad bytes.
uint64_t copy_key(const Document* doc, NodeId id, void* buffer, uint64_t size);
uint64_t copy_value(const Document* doc, NodeId id, void* buffer, uint64_t size);
uint32_t key_repeat_count(const Document* doc, NodeId id);
// Whether the decoded key of `id` is exactly these bytes (false without a key).
bool key_equals(const Document* doc, NodeId id, const uint8_t* key, uint64_t length);
// The same decoding into a caller's writer (which tells how much was stored).
void decode_key_into(const Document* doc, NodeId id, BoundedWriter* writer);
void decode_value_into(const Document* doc, NodeId id, BoundedWriter* writer);

// The count-or-length stored for a node (large figures resolved).
uint32_t node_count_field(const Document* doc, NodeId id);
// The large figure recorded for id, or 0xFFFFFF when there is none.
uint32_t large_value(const Document* doc, NodeId id);

// Lines.
uint32_t line_count(const Document* doc);
uint32_t line_start(const Document* doc, uint32_t line);
uint32_t line_of_offset(const Document* doc, uint32_t offset);
uint32_t column_of_offset(const Document* doc, uint32_t offset);

// Problems.
uint32_t problem_count(const Document* doc);
const ProblemInfo* problem_info(const Document* doc, uint32_t index);
const char* problem_message_for(const Document* doc, NodeId id);
uint32_t memory_problem_index(const Document* doc);
// Fills an info record for problem `index` (used for problem 0 and the cache).
void describe_problem(const Document* doc, uint32_t index, ProblemInfo* info);

// Appends the decoded, valid UTF-8 form of a slice of source text.
void decode_text(BoundedWriter* writer, const uint8_t* bytes, uint64_t length, bool resolve_escapes);
// Decodes the one character, escape or bad byte at p (p < end) the same way,
// and returns where decoding goes on. An escaped line break produces nothing.
const uint8_t* decode_character(BoundedWriter* writer, const uint8_t* p, const uint8_t* end, bool resolve_escapes);
