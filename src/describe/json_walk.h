// Internal to the JSON writer: the one traversal that both the sink writer
// and the capped builder writer run, and the output it writes through.
#pragma once

#include <cstdint>

#include "base/text_builder.h"
#include "core/document.h"
#include "describe/json_writer.h"

// Exactly one of the two is present.
struct JsonOutput {
    JsonSink* sink;
    TextBuilder* builder;
};

// Text the writer made itself (brackets, escapes, decoded text): valid UTF-8.
void json_emit(JsonOutput* out, const void* bytes, uint64_t n);
// Bytes taken from the source: copied as they are into a sink, repaired into
// a builder.
void json_emit_source(JsonOutput* out, const uint8_t* bytes, uint64_t n);
// Out of memory: the sink overflows, the builder fails.
void json_mark_failed(JsonOutput* out);

// The key of `id`, and a String value `id`, as JSON strings.
void write_json_key(JsonOutput* out, const Document* doc, NodeId id);
void write_json_string(JsonOutput* out, const Document* doc, NodeId id);

void walk_json(JsonOutput* out, const Document* doc, NodeId id, bool pretty);
