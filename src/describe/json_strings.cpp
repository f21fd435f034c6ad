// Keys and string values as JSON strings: copied as written when the token is
// already JSON, else decoded and escaped again.
#include <cstring>

#include "core/decoded_text.h"
#include "describe/json_walk.h"

namespace {

constexpr uint64_t ONES = 0x0101010101010101ull;
constexpr uint64_t HIGH_BITS = 0x8080808080808080ull;

// True when one of the 8 bytes at p may be below 0x20 or a backslash (never
// false when one is). (w - 0x20 each) & ~w sets a byte's top bit when the
// byte was below 0x20: 0x1F - 0x20 borrows to 0xFF, 0x41 - 0x20 stays 0x21.
// The backslash test is the same for zero after an XOR with 0x5C.
bool may_hold_control_or_backslash(const uint8_t* p) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    uint64_t backslashes = word ^ (ONES * '\\');
    return (((word - ONES * 0x20) & ~word) | ((backslashes - ONES) & ~backslashes)) & HIGH_BITS;
}

bool is_json_escape(uint8_t byte) {
    return byte == '"' || byte == '\\' || byte == '/' || byte == 'b' || byte == 'f' || byte == 'n' ||
           byte == 'r' || byte == 't' || byte == 'u';
}

// Whether a double-quoted token is not JSON as written: it holds a JSON5-only
// escape (\x41, \v, \0, \', a backslash before a line break) or a raw byte
// below 0x20. Only nodes in a JSON5 form, or documents that accepted raw
// control characters, can hold one, so ordinary documents never look.
bool needs_rewrite(const Document* doc, NodeId id, const uint8_t* token, uint64_t n) {
    if (!(node_flags(doc, id) & NodeFlags::Json5Form) && !(features(doc) & SyntaxFeatures::RawControlChars))
        return false;
    const uint8_t* p = token + 1;
    const uint8_t* end = token + (n >= 2 ? n - 1 : 1);
    while (p < end) {
        if (end - p >= 8 && !may_hold_control_or_backslash(p)) {
            p += 8;
            continue;
        }
        if (*p < 0x20) return true;
        if (*p == '\\') {
            if (end - p < 2 || !is_json_escape(p[1])) return true;
            p += 2;
            continue;
        }
        p++;
    }
    return false;
}

const char HEX_DIGITS[] = "0123456789abcdef";

// The escape for a byte that JSON does not allow raw in a string, else none.
// `storage` holds the \u00XX form.
const char* escape_for(uint8_t byte, char (&storage)[7]) {
    switch (byte) {
    case '"': return "\\\"";
    case '\\': return "\\\\";
    case 0x08: return "\\b";
    case 0x09: return "\\t";
    case 0x0A: return "\\n";
    case 0x0C: return "\\f";
    case 0x0D: return "\\r";
    default: break;
    }
    if (byte >= 0x20) return nullptr;
    std::memcpy(storage, "\\u00", 4);
    storage[4] = HEX_DIGITS[byte >> 4];
    storage[5] = HEX_DIGITS[byte & 15];
    storage[6] = 0;
    return storage;
}

// Decoded text between double quotes, escaped; runs that need no escape go
// out in one piece.
void write_quoted(JsonOutput* out, const uint8_t* text, uint64_t n) {
    json_emit(out, "\"", 1);
    uint64_t run = 0;
    for (uint64_t i = 0; i < n; i++) {
        char storage[7];
        const char* escape = escape_for(text[i], storage);
        if (!escape) continue;
        json_emit(out, text + run, i - run);
        json_emit(out, escape, std::strlen(escape));
        run = i + 1;
    }
    json_emit(out, text + run, n - run);
    json_emit(out, "\"", 1);
}

void write_decoded(JsonOutput* out, const Document* doc, NodeId id, DecodedPart part) {
    DecodedText decoded;
    if (!decode_node_text(doc, id, part, &decoded)) {
        json_mark_failed(out);
        json_emit(out, "\"\"", 2);
        return;
    }
    write_quoted(out, decoded.bytes, decoded.length);
    release_decoded_text(&decoded);
}

void write_token(JsonOutput* out, const Document* doc, NodeId id, const uint8_t* token, uint64_t n, DecodedPart part) {
    if (n >= 2 && token[0] == '"' && !needs_rewrite(doc, id, token, n)) json_emit_source(out, token, n);
    else write_decoded(out, doc, id, part);
}

}  // namespace

void write_json_key(JsonOutput* out, const Document* doc, NodeId id) {
    uint32_t n = key_token_length(doc, id);
    const uint8_t* token = n ? text(doc) + key_offset(doc, id) : nullptr;
    write_token(out, doc, id, token, n, DecodedPart::Key);
}

void write_json_string(JsonOutput* out, const Document* doc, NodeId id) {
    write_token(out, doc, id, text(doc) + value_offset(doc, id), value_length(doc, id), DecodedPart::Value);
}
