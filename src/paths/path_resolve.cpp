#include "paths/path_resolve.h"

#include <cstdio>
#include <cstring>

#include "base/memory.h"
#include "paths/path_format.h"
#include "paths/path_parse.h"

namespace {

void put(BoundedWriter* w, const char* text) { bw_append(w, reinterpret_cast<const uint8_t*>(text), std::strlen(text)); }

// Appends the JSONPath of `id` (the notation messages always use).
void put_json_path(BoundedWriter* w, const Document* doc, NodeId id) {
    uint64_t length = format_path(doc, id, PathStyle::JsonPath, nullptr, 0);
    char* path = static_cast<char*>(mem_alloc(length + 1));
    if (!path) return;
    format_path(doc, id, PathStyle::JsonPath, path, length + 1);
    bw_append(w, reinterpret_cast<const uint8_t*>(path), length);
    mem_free(path);
}

const char* scalar_word(NodeKind kind) {
    switch (kind) {
    case NodeKind::String: return "string";
    case NodeKind::Number: return "number";
    case NodeKind::True:
    case NodeKind::False: return "boolean";
    case NodeKind::Null: return "null";
    default: return "error";
    }
}

void put_missing(BoundedWriter* w, const Document* doc, NodeId at, const PathSegment& segment, bool as_index) {
    if (as_index) {
        char text[48];
        std::snprintf(text, sizeof text, "No item [%llu] in ", static_cast<unsigned long long>(segment.index));
        put(w, text);
    } else {
        put(w, "No key \"");
        bw_append(w, segment.key, segment.key_length);
        put(w, "\" in ");
    }
    put_json_path(w, doc, at);
}

// The first child of `container` whose decoded key is exactly the segment's key.
NodeId find_key(const Document* doc, NodeId container, const PathSegment& segment) {
    NodeId end = subtree_end(doc, container);
    for (NodeId child = container + 1; child < end; child = subtree_end(doc, child)) {
        if (key_equals(doc, child, segment.key, segment.key_length)) return child;
    }
    return NO_NODE;
}

// Walks the segments from the root; NO_NODE with the message on failure.
NodeId walk(const Document* doc, const ParsedPath& path, BoundedWriter* message) {
    NodeId at = 0;
    for (uint32_t i = 0; i < path.count; i++) {
        const PathSegment& segment = path.segments[i];
        NodeKind at_kind = kind(doc, at);
        bool as_index = segment.kind == SegmentKind::Index ||
                        (segment.kind == SegmentKind::KeyOrIndex && at_kind == NodeKind::Array);
        if (!is_container_kind(at_kind)) {
            put_missing(message, doc, at, segment, as_index);
            put(message, " (it is a ");
            put(message, scalar_word(at_kind));
            put(message, ")");
            return NO_NODE;
        }
        if (as_index) {
            uint32_t count = child_count(doc, at);
            if (segment.index >= count) {
                put_missing(message, doc, at, segment, true);
                char text[32];
                std::snprintf(text, sizeof text, " (it has %u)", count);
                put(message, text);
                return NO_NODE;
            }
            at = child_at(doc, at, static_cast<uint32_t>(segment.index));
            continue;
        }
        NodeId found = find_key(doc, at, segment);
        if (found == NO_NODE) {
            put_missing(message, doc, at, segment, false);
            return NO_NODE;
        }
        at = found;
    }
    return at;
}

}  // namespace

NodeId resolve_path(const Document* doc, const char* text, size_t length, char* message, size_t message_size) {
    BoundedWriter w = bounded_writer(message, message ? message_size : 0);
    if (node_count(doc) == 0) return NO_NODE;
    ParsedPath path;
    size_t position = 0;
    PathParseStatus status = parse_path(reinterpret_cast<const uint8_t*>(text), text ? length : 0, &path, &position);
    if (status == PathParseStatus::SyntaxError) {
        char error[64];
        std::snprintf(error, sizeof error, "Path not understood at character %zu", position);
        put(&w, error);
        return NO_NODE;
    }
    if (status == PathParseStatus::OutOfMemory) return NO_NODE;
    NodeId found = walk(doc, path, &w);
    release_parsed_path(&path);
    return found;
}
