#include "describe/json_writer.h"

#include <cstdio>
#include <cstring>

#include "base/memory.h"
#include "core/decoded_text.h"
#include "describe/json_walk.h"

void json_emit(JsonOutput* out, const void* bytes, uint64_t n) {
    if (out->sink) sink_write(out->sink, bytes, n);
    else tb_append(out->builder, bytes, n);
}

void json_emit_source(JsonOutput* out, const uint8_t* bytes, uint64_t n) {
    if (out->sink) sink_write(out->sink, bytes, n);
    else tb_append_repaired(out->builder, bytes, n);
}

void json_mark_failed(JsonOutput* out) {
    if (out->sink) out->sink->overflow = 1;
    else out->builder->failed = 1;
}

JsonSink json_sink(void* buffer, uint64_t capacity) {
    return JsonSink{static_cast<uint8_t*>(buffer), 0, buffer ? capacity : 0, 0};
}

void sink_write(JsonSink* sink, const void* bytes, uint64_t n) {
    // While nothing has overflowed, length <= capacity, so the room left
    // cannot wrap around.
    if (sink->buffer && !sink->overflow) {
        if (n <= sink->capacity - sink->length) std::memcpy(sink->buffer + sink->length, bytes, n);
        else sink->overflow = 1;
    }
    sink->length += n;
}

void write_json(const Document* doc, NodeId id, bool pretty, JsonSink* sink) {
    JsonOutput out{sink, nullptr};
    walk_json(&out, doc, id, pretty);
}

uint64_t json_text_length(const Document* doc, NodeId id, bool pretty) {
    JsonSink sink = json_sink(nullptr, 0);
    write_json(doc, id, pretty, &sink);
    return sink.overflow ? 0 : sink.length;
}

namespace {

char* no_text(uint64_t* length) {
    if (length) *length = 0;
    return nullptr;
}

char* allocated_text(const char* bytes, uint64_t n, uint64_t* length) {
    char* text = mem_alloc_array<char>(n + 1);
    if (!text) return no_text(length);
    std::memcpy(text, bytes, n);
    text[n] = 0;
    if (length) *length = n;
    return text;
}

// A decoded key or value in an allocation of its exact size.
char* decoded_text(const Document* doc, NodeId id, DecodedPart part, uint64_t* length) {
    BoundedWriter measure = bounded_writer(nullptr, 0);
    decode_part_into(doc, id, part, &measure);
    uint64_t size = measure.total;
    char* text = size < ~0ull ? mem_alloc_array<char>(size + 1) : nullptr;
    if (!text) return no_text(length);
    BoundedWriter writer = bounded_writer(text, size + 1);
    decode_part_into(doc, id, part, &writer);
    if (length) *length = size;
    return text;
}

}  // namespace

char* json_text(const Document* doc, NodeId id, bool pretty, uint64_t* length) {
    if (id >= node_count(doc)) return no_text(length);
    JsonSink measure = json_sink(nullptr, 0);
    write_json(doc, id, pretty, &measure);
    if (measure.overflow || measure.length == ~0ull) return no_text(length);
    char* text = mem_alloc_array<char>(measure.length + 1);
    if (!text) return no_text(length);
    JsonSink sink = json_sink(text, measure.length);
    write_json(doc, id, pretty, &sink);
    if (sink.overflow || sink.length != measure.length) {
        mem_free(text);
        return no_text(length);
    }
    text[sink.length] = 0;
    if (length) *length = sink.length;
    return text;
}

char* value_copy_text(const Document* doc, NodeId id, uint64_t* length) {
    if (id >= node_count(doc)) return no_text(length);
    if (is_container_kind(kind(doc, id))) return json_text(doc, id, true, length);
    return decoded_text(doc, id, DecodedPart::Value, length);
}

char* key_copy_text(const Document* doc, NodeId id, uint64_t* length) {
    if (id >= node_count(doc)) return no_text(length);
    if (parent(doc, id) == NO_NODE) return allocated_text("", 0, length);
    if (has_key(doc, id)) return decoded_text(doc, id, DecodedPart::Key, length);
    char index[16];
    int n = std::snprintf(index, sizeof index, "%u", index_in_parent(doc, id));
    return allocated_text(index, static_cast<uint64_t>(n), length);
}

void free_text(void* text) { mem_free(text); }

bool write_capped(TextBuilder* builder, const Document* doc, NodeId id) {
    JsonOutput out{nullptr, builder};
    walk_json(&out, doc, id, true);
    return !builder->failed && !builder->truncated;
}
