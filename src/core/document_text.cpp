// Decoding source text on demand: keys, scalar values, repeated keys, columns.
#include <cstring>

#include "base/hex.h"
#include "base/memory.h"
#include "base/utf8.h"
#include "core/document.h"
#include "core/identifier.h"

namespace {

const uint8_t REPLACEMENT[3] = {0xEF, 0xBF, 0xBD};

bool valid(const Document* doc, NodeId id) { return doc && id < doc->node_count; }

void append_code_point(BoundedWriter* writer, uint32_t cp) {
    uint8_t bytes[4];
    bw_append(writer, bytes, utf8_encode(cp, bytes));
}

// Decodes the escape whose backslash is at p (p < end) and returns where
// decoding goes on.
const uint8_t* decode_escape(BoundedWriter* writer, const uint8_t* p, const uint8_t* end) {
    if (end - p < 2) return end;  // a lone backslash at the end produces nothing
    uint8_t byte = p[1];
    switch (byte) {
    case 'b': append_code_point(writer, 0x08); return p + 2;
    case 'f': append_code_point(writer, 0x0C); return p + 2;
    case 'n': append_code_point(writer, 0x0A); return p + 2;
    case 'r': append_code_point(writer, 0x0D); return p + 2;
    case 't': append_code_point(writer, 0x09); return p + 2;
    case 'v': append_code_point(writer, 0x0B); return p + 2;
    case '0': append_code_point(writer, 0x00); return p + 2;
    case '\n': return p + 2;
    case '\r': return (end - p >= 3 && p[2] == '\n') ? p + 3 : p + 2;
    case 'x': {
        int high = end - p >= 4 ? hex_digit_value(p[2]) : -1;
        int low = end - p >= 4 ? hex_digit_value(p[3]) : -1;
        if (high < 0 || low < 0) {
            bw_append(writer, REPLACEMENT, 3);
            return p + 2;
        }
        append_code_point(writer, static_cast<uint32_t>(high * 16 + low));
        return p + 4;
    }
    case 'u': {
        int32_t unit = hex4_value(p + 2, end);
        if (unit < 0) {
            bw_append(writer, REPLACEMENT, 3);
            return p + 2;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            // A high surrogate needs "\u" and a low surrogate right after it.
            int32_t low = (end - p >= 12 && p[6] == '\\' && p[7] == 'u') ? hex4_value(p + 8, end) : -1;
            if (low >= 0xDC00 && low <= 0xDFFF) {
                append_code_point(writer, 0x10000 + ((static_cast<uint32_t>(unit) - 0xD800) << 10) +
                                              (static_cast<uint32_t>(low) - 0xDC00));
                return p + 12;
            }
            bw_append(writer, REPLACEMENT, 3);
            return p + 6;
        }
        if (unit >= 0xDC00 && unit <= 0xDFFF) {
            bw_append(writer, REPLACEMENT, 3);
            return p + 6;
        }
        append_code_point(writer, static_cast<uint32_t>(unit));
        return p + 6;
    }
    default:
        break;
    }
    if (byte == 0xE2 && end - p >= 4 && p[2] == 0x80 && (p[3] == 0xA8 || p[3] == 0xA9)) return p + 4;
    if (byte >= 0x80) return p + 1;  // the backslash is dropped, the byte decoded normally
    bw_append(writer, p + 1, 1);
    return p + 2;
}

// True when none of the 8 bytes at p is a backslash.
bool no_backslash(const uint8_t* p) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    uint64_t x = word ^ 0x5C5C5C5C5C5C5C5Cull;
    return ((x - 0x0101010101010101ull) & ~x & 0x8080808080808080ull) == 0;
}

}  // namespace

void decode_text(BoundedWriter* writer, const uint8_t* bytes, uint64_t length, bool resolve_escapes) {
    const uint8_t* p = bytes;
    const uint8_t* end = bytes + length;
    while (p < end) {
        // A run of plain ASCII is copied in one piece.
        const uint8_t* run = p;
        while (end - p >= 8 && utf8_eight_ascii(p) && (!resolve_escapes || no_backslash(p))) p += 8;
        while (p < end && *p < 0x80 && !(resolve_escapes && *p == '\\')) p++;
        if (p > run) bw_append(writer, run, static_cast<uint64_t>(p - run));
        if (p >= end) break;
        p = decode_character(writer, p, end, resolve_escapes);
    }
}

const uint8_t* decode_character(BoundedWriter* writer, const uint8_t* p, const uint8_t* end, bool resolve_escapes) {
    if (resolve_escapes && *p == '\\') return decode_escape(writer, p, end);
    uint32_t len = utf8_sequence_length(p, end);
    if (len) {
        bw_append(writer, p, len);
        return p + len;
    }
    bw_append(writer, REPLACEMENT, 3);
    return p + 1;
}

uint32_t key_token_length(const Document* doc, NodeId id) {
    if (!valid(doc, id)) return 0;
    uint32_t start = node_at(doc, id)->key_offset;
    if (start == NO_NODE || start >= doc->text_length) return 0;
    const uint8_t* text = doc->text;
    uint32_t end = doc->text_length;
    uint8_t quote = text[start];
    uint32_t pos = start + 1;
    if (quote == '"' || quote == '\'') {
        while (pos < end && text[pos] != quote) pos += text[pos] == '\\' ? 2 : 1;
        return (pos < end ? pos + 1 : end) - start;
    }
    pos = start;
    while (pos < end && is_identifier_byte(text[pos])) pos++;
    return pos - start;
}

TextSlice key_text(const Document* doc, NodeId id) {
    uint32_t token = key_token_length(doc, id);
    if (token == 0) return TextSlice{nullptr, 0, false};
    const uint8_t* start = doc->text + node_at(doc, id)->key_offset;
    bool escaped = (node_flags(doc, id) & NodeFlags::KeyEscaped) != 0;
    if (*start == '"' || *start == '\'') {
        uint32_t inner = token >= 2 ? token - 2 : 0;
        return TextSlice{start + 1, inner, escaped};
    }
    return TextSlice{start, token, escaped};
}

void decode_key_into(const Document* doc, NodeId id, BoundedWriter* writer) {
    TextSlice slice = key_text(doc, id);
    if (slice.bytes) decode_text(writer, slice.bytes, slice.length, slice.escaped);
}

void decode_value_into(const Document* doc, NodeId id, BoundedWriter* writer) {
    NodeKind node_kind = kind(doc, id);
    if (!valid(doc, id) || is_container_kind(node_kind)) return;
    const uint8_t* start = doc->text + node_at(doc, id)->value_offset;
    uint32_t length = node_count_field(doc, id);
    if (node_kind != NodeKind::String) {
        decode_text(writer, start, length, false);
    } else if (length >= 2) {
        decode_text(writer, start + 1, length - 2, (node_flags(doc, id) & NodeFlags::ValueEscaped) != 0);
    }
}

uint64_t copy_key(const Document* doc, NodeId id, void* buffer, uint64_t size) {
    BoundedWriter writer = bounded_writer(buffer, size);
    decode_key_into(doc, id, &writer);
    return writer.total;
}

uint64_t copy_value(const Document* doc, NodeId id, void* buffer, uint64_t size) {
    BoundedWriter writer = bounded_writer(buffer, size);
    decode_value_into(doc, id, &writer);
    return writer.total;
}

namespace {

// A key's decoded text: the raw slice itself when decoding would not change
// it, else a decoded copy (or, when memory cannot be had, the raw slice).
struct DecodedKey {
    const uint8_t* bytes;
    uint64_t length;
    uint8_t* owned;
};

DecodedKey decode_key(TextSlice slice) {
    DecodedKey raw{slice.bytes, slice.length, nullptr};
    if (!slice.escaped && utf8_is_valid(slice.bytes, slice.length)) return raw;
    BoundedWriter measure = bounded_writer(nullptr, 0);
    decode_text(&measure, slice.bytes, slice.length, slice.escaped);
    uint8_t* owned = static_cast<uint8_t*>(mem_alloc(measure.total + 1));
    if (!owned) return raw;
    BoundedWriter writer = bounded_writer(owned, measure.total + 1);
    decode_text(&writer, slice.bytes, slice.length, slice.escaped);
    return DecodedKey{owned, writer.written, owned};
}

}  // namespace

uint32_t key_repeat_count(const Document* doc, NodeId id) {
    if (!has_key(doc, id)) return 0;
    NodeId up = parent(doc, id);
    if (up == NO_NODE) return 0;
    DecodedKey target = decode_key(key_text(doc, id));
    uint32_t count = 1;  // the node itself
    NodeId end = node_at(doc, up)->subtree_end;
    for (NodeId child = up + 1; child < end; child = node_at(doc, child)->subtree_end) {
        if (child == id || node_at(doc, child)->key_offset == NO_NODE) continue;
        DecodedKey other = decode_key(key_text(doc, child));
        if (other.length == target.length && std::memcmp(other.bytes, target.bytes, other.length) == 0) count++;
        mem_free(other.owned);
    }
    mem_free(target.owned);
    return count;
}

namespace {

bool contains_replacement(const uint8_t* bytes, uint64_t length) {
    for (uint64_t i = 0; i + 2 < length; i++) {
        if (bytes[i] == 0xEF && bytes[i + 1] == 0xBF && bytes[i + 2] == 0xBD) return true;
    }
    return false;
}

}  // namespace

bool key_equals(const Document* doc, NodeId id, const uint8_t* key, uint64_t length) {
    if (!has_key(doc, id)) return false;
    const Node* node = node_at(doc, id);
    // A key without escapes decodes to its own bytes, except that bad bytes
    // become U+FFFD; so unless the wanted key holds U+FFFD, the raw bytes
    // must match exactly and decoding is not needed.
    if (!(node_flags(doc, id) & NodeFlags::KeyEscaped) && !contains_replacement(key, length)) {
        const uint8_t* text = doc->text;
        uint8_t quote = text[node->key_offset];
        bool quoted = quote == '"' || quote == '\'';
        uint64_t content = node->key_offset + (quoted ? 1 : 0);
        if (content + length > doc->text_length) return false;
        uint8_t after = text[content + length];  // inside the padding at worst
        bool ends_here = quoted ? after == quote : !is_identifier_byte(after);
        return ends_here && std::memcmp(text + content, key, length) == 0;
    }
    BoundedWriter measure = bounded_writer(nullptr, 0);
    decode_key_into(doc, id, &measure);
    if (measure.total != length) return false;
    uint8_t* decoded = static_cast<uint8_t*>(mem_alloc(length + 1));
    if (!decoded) return false;
    BoundedWriter writer = bounded_writer(decoded, length + 1);
    decode_key_into(doc, id, &writer);
    bool equal = std::memcmp(decoded, key, length) == 0;
    mem_free(decoded);
    return equal;
}

uint32_t column_of_offset(const Document* doc, uint32_t offset) {
    if (!doc || !doc->text) return 1;
    if (offset > doc->text_length) offset = doc->text_length;
    uint32_t line = line_of_offset(doc, offset);
    uint32_t start = doc->line_count ? doc->line_starts[line] : 0;
    if (start > offset) start = 0;
    const uint8_t* p = doc->text + start;
    const uint8_t* stop = doc->text + offset;
    const uint8_t* end = doc->text + doc->text_length;
    uint64_t columns = 1;
    while (p < stop) {
        if (stop - p >= 8 && utf8_eight_ascii(p)) {
            p += 8;
            columns += 8;
            continue;
        }
        uint32_t len = utf8_sequence_length(p, end);
        p += len ? len : 1;
        columns++;
    }
    return columns > 0xFFFFFFFE ? 0xFFFFFFFE : static_cast<uint32_t>(columns);
}
