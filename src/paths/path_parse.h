// Reading a typed path into segments, in any of the five notations. Internal
// to path resolution.
#pragma once

#include <cstddef>
#include <cstdint>

enum class SegmentKind : uint32_t { Key = 0, Index = 1, KeyOrIndex = 2 };

struct PathSegment {
    SegmentKind kind;
    uint8_t* key;  // owned, zero-terminated; Key and KeyOrIndex
    uint64_t key_length;
    uint64_t index;  // Index and KeyOrIndex
};

struct ParsedPath {
    PathSegment* segments;
    uint32_t count;
    uint32_t capacity;
};

enum class PathParseStatus { Ok, SyntaxError, OutOfMemory };

// Reads `text`; on a syntax error *error_position is the 1-based byte position.
[[nodiscard]] PathParseStatus parse_path(const uint8_t* text, size_t length, ParsedPath* path, size_t* error_position);
void release_parsed_path(ParsedPath* path);
