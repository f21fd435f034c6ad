// The JSON writer: a node and its subtree as pretty (two-space) or minified
// JSON, for the copy commands and the Inspector.
//
// Numbers, literals and ordinary double-quoted strings and keys are copied
// from the source byte for byte, so JSON5 numbers (0x1F, NaN, +1, .5) and
// escapes such as \u00e9 stay as written. Keys and strings that are not JSON
// as written (single-quoted, unquoted, or double-quoted with a JSON5-only
// escape or a raw control character) are decoded and written again as
// double-quoted JSON strings. Comments, whitespace and trailing commas of the
// source do not appear; Error records are left out.
#pragma once

#include <cstdint>

#include "base/text_builder.h"
#include "core/document.h"

// Where write_json puts its bytes. Without a buffer it only measures. With
// one, bytes are stored while they fit; the first piece that does not fit sets
// overflow, and nothing is stored after that. `length` always counts every
// byte, so a measuring and a writing pass agree.
struct JsonSink {
    uint8_t* buffer;
    uint64_t length;
    uint64_t capacity;
    uint8_t overflow;  // also set when the writer ran out of memory
};

JsonSink json_sink(void* buffer, uint64_t capacity);
void sink_write(JsonSink* sink, const void* bytes, uint64_t n);

void write_json(const Document* doc, NodeId id, bool pretty, JsonSink* sink);
// Bytes write_json produces; 0 for an absent Document, a bad id, or when the
// writer ran out of memory.
uint64_t json_text_length(const Document* doc, NodeId id, bool pretty);

// Newly allocated, zero-terminated texts (free them with free_text), or none
// with *length 0. `length` may be absent.
// The JSON of a node: one measuring pass, one allocation, one writing pass.
[[nodiscard]] char* json_text(const Document* doc, NodeId id, bool pretty, uint64_t* length);
// "Copy Value": a container's pretty JSON, or a scalar's decoded value.
[[nodiscard]] char* value_copy_text(const Document* doc, NodeId id, uint64_t* length);
// "Copy Key": the decoded key, an item's index in decimal, or an empty text
// for a root.
[[nodiscard]] char* key_copy_text(const Document* doc, NodeId id, uint64_t* length);
// Frees a text returned above, or a text buffer handed to the loader.
void free_text(void* text);

// The pretty JSON of a node into a builder, stopping as soon as the builder
// fails or reaches its cap; source bytes that are not UTF-8 become U+FFFD.
// True when the whole value was written.
[[nodiscard]] bool write_capped(TextBuilder* builder, const Document* doc, NodeId id);
