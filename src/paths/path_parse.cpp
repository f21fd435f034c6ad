#include "paths/path_parse.h"

#include <cstring>

#include "base/hex.h"
#include "base/memory.h"
#include "base/utf8.h"

namespace {

// Index digits stop counting past this, so no index overflows.
constexpr uint64_t INDEX_CAP = 1844674407370955160ull;

// A growable byte buffer for one key being read.
struct KeyBuffer {
    uint8_t* bytes;
    uint64_t length;
    uint64_t capacity;
    bool failed;
};

void key_append(KeyBuffer* key, const uint8_t* bytes, uint64_t n) {
    if (key->failed) return;
    if (key->length + n + 1 > key->capacity) {
        uint64_t capacity = key->capacity ? key->capacity : 32;
        while (capacity < key->length + n + 1) capacity *= 2;
        uint8_t* grown = static_cast<uint8_t*>(mem_realloc(key->bytes, capacity));
        if (!grown) {
            key->failed = true;
            return;
        }
        key->bytes = grown;
        key->capacity = capacity;
    }
    if (n) std::memcpy(key->bytes + key->length, bytes, n);
    key->length += n;
    key->bytes[key->length] = 0;
}

void key_append_code_point(KeyBuffer* key, uint32_t cp) {
    uint8_t bytes[4];
    key_append(key, bytes, utf8_encode(cp, bytes));
}

// Appends a segment, taking over the key's bytes (freed here on failure).
bool add_segment(ParsedPath* path, SegmentKind kind, KeyBuffer* key, uint64_t index) {
    if (key && !key->bytes) key_append(key, nullptr, 0);  // an empty key still owns its zero byte
    bool ok = !(key && key->failed);
    if (ok && path->count == path->capacity) {
        uint32_t capacity = path->capacity ? path->capacity * 2 : 8;
        PathSegment* grown = mem_realloc_array(path->segments, capacity);
        if (grown) {
            path->segments = grown;
            path->capacity = capacity;
        }
        ok = grown != nullptr;
    }
    if (!ok) {
        if (key) mem_free(key->bytes);
        if (key) *key = KeyBuffer{};
        return false;
    }
    PathSegment& segment = path->segments[path->count++];
    segment.kind = kind;
    segment.key = key ? key->bytes : nullptr;
    segment.key_length = key ? key->length : 0;
    segment.index = index;
    if (key) *key = KeyBuffer{};
    return true;
}

bool is_script_start(uint8_t byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || byte == '_' || byte == '$';
}

bool is_digit(uint8_t byte) { return byte >= '0' && byte <= '9'; }

struct Reader {
    const uint8_t* start;
    const uint8_t* p;
    const uint8_t* end;
    ParsedPath* path;
    size_t error_position;
    bool out_of_memory;
};

size_t position_of(const Reader& r, const uint8_t* at) { return static_cast<size_t>(at - r.start) + 1; }

bool syntax_error(Reader* r, const uint8_t* at) {
    r->error_position = position_of(*r, at);
    return false;
}

bool memory_error(Reader* r) {
    r->out_of_memory = true;
    return false;
}

// A quoted key from the opening quote (single or double) at r->p; leaves r->p
// after the closing quote. Both quotes read the same escapes, so that what the
// path writer escapes reads back in either form.
bool read_quoted(Reader* r, KeyBuffer* key) {
    uint8_t quote = *r->p;
    const uint8_t* p = r->p + 1;
    while (p < r->end && *p != quote) {
        if (*p != '\\' || p + 1 >= r->end) {
            key_append(key, p, 1);
            p++;
            continue;
        }
        uint8_t escaped = p[1];
        uint8_t control = escaped == 'b' ? '\b' : escaped == 'f' ? '\f' : escaped == 'n' ? '\n'
                        : escaped == 'r' ? '\r' : escaped == 't' ? '\t' : 0;
        if (control) {
            key_append(key, &control, 1);
            p += 2;
        } else if (escaped == 'u' && hex4_value(p + 2, r->end) >= 0) {
            uint32_t unit = static_cast<uint32_t>(hex4_value(p + 2, r->end));
            p += 6;
            if (unit >= 0xD800 && unit <= 0xDBFF && r->end - p >= 2 && p[0] == '\\' && p[1] == 'u') {
                int32_t low = hex4_value(p + 2, r->end);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    key_append_code_point(key, 0x10000 + ((unit - 0xD800) << 10) + (static_cast<uint32_t>(low) - 0xDC00));
                    p += 6;
                    continue;
                }
            }
            key_append_code_point(key, (unit >= 0xD800 && unit <= 0xDFFF) ? 0xFFFD : unit);
        } else {
            key_append(key, p + 1, 1);  // \u without four hex digits is a plain u
            p += 2;
        }
    }
    if (p >= r->end) return syntax_error(r, r->end);
    r->p = p + 1;
    return !key->failed || memory_error(r);
}

bool read_identifier(Reader* r) {
    KeyBuffer key{};
    const uint8_t* p = r->p;
    while (p < r->end && (is_script_start(*p) || is_digit(*p))) p++;
    key_append(&key, r->p, static_cast<uint64_t>(p - r->p));
    r->p = p;
    return add_segment(r->path, SegmentKind::Key, &key, 0) || memory_error(r);
}

// From the "[" at r->p to after its "]".
bool read_bracket(Reader* r) {
    const uint8_t* p = r->p + 1;
    if (p >= r->end) return syntax_error(r, p);
    if (*p == '"' || *p == '\'') {
        KeyBuffer key{};
        r->p = p;
        bool ok = read_quoted(r, &key);
        if (!ok || r->p >= r->end || *r->p != ']') {
            mem_free(key.bytes);
            return ok ? syntax_error(r, r->p) : false;
        }
        r->p++;
        return add_segment(r->path, SegmentKind::Key, &key, 0) || memory_error(r);
    }
    if (!is_digit(*p)) return syntax_error(r, p);
    uint64_t index = 0;
    for (; p < r->end && is_digit(*p); p++) {
        if (index <= INDEX_CAP) index = index * 10 + (*p - '0');
    }
    if (p >= r->end || *p != ']') return syntax_error(r, p);
    r->p = p + 1;
    return add_segment(r->path, SegmentKind::Index, nullptr, index) || memory_error(r);
}

bool read_bracket_and_dot(Reader* r) {
    bool dollar = r->p < r->end && *r->p == '$';
    if (dollar) r->p++;
    if (r->p >= r->end) return true;
    if (!dollar && is_script_start(*r->p)) {
        if (!read_identifier(r)) return false;
    } else if (*r->p != '.' && *r->p != '[') {
        return syntax_error(r, r->p);
    }
    while (r->p < r->end) {
        if (*r->p == '[') {
            if (!read_bracket(r)) return false;
            continue;
        }
        if (*r->p != '.') return syntax_error(r, r->p);
        r->p++;
        if (r->p >= r->end) return true;
        uint8_t next = *r->p;
        if (next == '"') {
            KeyBuffer key{};
            if (!read_quoted(r, &key)) {
                mem_free(key.bytes);
                return false;
            }
            if (!add_segment(r->path, SegmentKind::Key, &key, 0)) return memory_error(r);
        } else if (next == '[') {
            if (!read_bracket(r)) return false;
        } else if (is_script_start(next)) {
            if (!read_identifier(r)) return false;
        } else {
            return syntax_error(r, r->p);
        }
    }
    return true;
}

bool read_pointer(Reader* r) {
    const uint8_t* p = r->p + 1;  // after the leading "/"
    for (;;) {
        const uint8_t* piece_end = p;
        while (piece_end < r->end && *piece_end != '/') piece_end++;
        KeyBuffer key{};
        bool digits = piece_end > p;
        uint64_t index = 0;
        for (const uint8_t* q = p; q < piece_end; q++) {
            digits = digits && is_digit(*q);
            if (*q == '~' && q + 1 < piece_end && (q[1] == '0' || q[1] == '1')) {
                key_append(&key, reinterpret_cast<const uint8_t*>(q[1] == '0' ? "~" : "/"), 1);
                q++;
            } else {
                key_append(&key, q, 1);
            }
            if (digits && index <= INDEX_CAP) index = index * 10 + (*q - '0');
        }
        if (!add_segment(r->path, digits ? SegmentKind::KeyOrIndex : SegmentKind::Key, &key, index))
            return memory_error(r);
        if (piece_end >= r->end) return true;
        p = piece_end + 1;
    }
}

}  // namespace

PathParseStatus parse_path(const uint8_t* text, size_t length, ParsedPath* path, size_t* error_position) {
    *path = ParsedPath{};
    Reader r{text, text, text + length, path, 0, false};
    bool ok = (length > 0 && text[0] == '/') ? read_pointer(&r) : read_bracket_and_dot(&r);
    if (ok) return PathParseStatus::Ok;
    release_parsed_path(path);
    if (r.out_of_memory) return PathParseStatus::OutOfMemory;
    *error_position = r.error_position;
    return PathParseStatus::SyntaxError;
}

void release_parsed_path(ParsedPath* path) {
    for (uint32_t i = 0; i < path->count; i++) mem_free(path->segments[i].key);
    mem_free(path->segments);
    *path = ParsedPath{};
}
