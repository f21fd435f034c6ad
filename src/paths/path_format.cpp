#include "paths/path_format.h"

#include <cstdio>
#include <cstring>

#include "base/control_symbols.h"
#include "base/memory.h"
#include "core/decoded_text.h"
#include "describe/format.h"

namespace {

const char* const SETTINGS_WORD[PATH_STYLE_COUNT] = {"jsonpath", "jq", "js", "python", "pointer"};

uint32_t style_index(PathStyle style) {
    uint32_t index = static_cast<uint32_t>(style);
    return index < PATH_STYLE_COUNT ? index : 0;
}

void put(BoundedWriter* w, const char* text) {
    bw_append(w, reinterpret_cast<const uint8_t*>(text), std::strlen(text));
}

bool is_letter_or_underscore(uint8_t byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || byte == '_';
}

bool is_identifier(const DecodedText& key, bool script) {
    if (key.length == 0) return false;
    if (script && key.length == 1 && key.bytes[0] == '$') return false;
    for (uint64_t i = 0; i < key.length; i++) {
        uint8_t byte = key.bytes[i];
        bool ok = is_letter_or_underscore(byte) || (script && byte == '$') || (i > 0 && byte >= '0' && byte <= '9');
        if (!ok) return false;
    }
    return true;
}

// Appends the key's bytes, escaping each byte through `escape` (which returns
// false to copy the byte, or writes its replacement). Runs of unescaped bytes
// go in one piece, so a UTF-8 character is written whole or not at all, and so
// is every escape.
template <typename Escape>
void put_escaped(BoundedWriter* w, const DecodedText& key, Escape escape) {
    uint64_t run = 0;
    char replacement[8];
    for (uint64_t i = 0; i < key.length; i++) {
        if (!escape(key.bytes[i], replacement)) continue;
        bw_append(w, key.bytes + run, i - run);
        bw_append_whole(w, reinterpret_cast<const uint8_t*>(replacement), std::strlen(replacement));
        run = i + 1;
    }
    bw_append(w, key.bytes + run, key.length - run);
}

// A control character as both quoted forms write it, so that a path stays on
// one line.
bool control_escape(uint8_t byte, char* out) {
    if (byte == '\n') std::strcpy(out, "\\n");
    else if (byte == '\t') std::strcpy(out, "\\t");
    else if (byte < 0x20) std::snprintf(out, 8, "\\u%04x", byte);
    else return false;
    return true;
}

void put_double_quoted(BoundedWriter* w, const DecodedText& key) {
    put(w, "[\"");
    put_escaped(w, key, [](uint8_t byte, char* out) {
        if (byte == '"') std::strcpy(out, "\\\"");
        else if (byte == '\\') std::strcpy(out, "\\\\");
        else return control_escape(byte, out);
        return true;
    });
    put(w, "\"]");
}

void put_single_quoted(BoundedWriter* w, const DecodedText& key) {
    put(w, "['");
    put_escaped(w, key, [](uint8_t byte, char* out) {
        if (byte == '\\' || byte == '\'') {
            out[0] = '\\';
            out[1] = static_cast<char>(byte);
            out[2] = 0;
            return true;
        }
        // Delete shows as nothing on screen, so this form spells it out as well.
        if (byte == 0x7F) std::strcpy(out, "\\u007f");
        else return control_escape(byte, out);
        return true;
    });
    put(w, "']");
}

void put_pointer_key(BoundedWriter* w, const DecodedText& key) {
    put(w, "/");
    put_escaped(w, key, [](uint8_t byte, char* out) {
        if (byte == '~') std::strcpy(out, "~0");
        else if (byte == '/') std::strcpy(out, "~1");
        else return false;
        return true;
    });
}

void put_key_segment(BoundedWriter* w, PathStyle style, const DecodedText& key, uint32_t segment) {
    switch (style) {
    case PathStyle::JsonPath:
        if (is_identifier(key, false)) {
            put(w, ".");
            bw_append(w, key.bytes, key.length);
        } else {
            put_single_quoted(w, key);
        }
        return;
    case PathStyle::Jq:
    case PathStyle::JavaScript: {
        bool script = style == PathStyle::JavaScript;
        bool identifier = is_identifier(key, script) && !(script && segment == 1 && key.bytes[0] == '$');
        if (!identifier) {
            put_double_quoted(w, key);
            return;
        }
        // jq's root is "." already; JavaScript's first segment stands alone.
        if (segment > 1) put(w, ".");
        bw_append(w, key.bytes, key.length);
        return;
    }
    case PathStyle::Python: put_double_quoted(w, key); return;
    case PathStyle::JsonPointer: put_pointer_key(w, key); return;
    }
}

void put_index_segment(BoundedWriter* w, PathStyle style, uint32_t index) {
    char text[16];
    std::snprintf(text, sizeof text, style == PathStyle::JsonPointer ? "/%u" : "[%u]", index);
    put(w, text);
}

}  // namespace

const char* path_style_settings_word(PathStyle style) { return SETTINGS_WORD[style_index(style)]; }

uint32_t node_chain_length(const Document* doc, NodeId id) {
    if (id >= node_count(doc)) return 0;
    return depth(doc, id) + 1;
}

NodeId ancestor_at_depth(const Document* doc, NodeId id, uint32_t level) {
    uint32_t own = node_chain_length(doc, id);
    if (own == 0 || level >= own) return NO_NODE;
    for (uint32_t steps = own - 1 - level; steps > 0; steps--) id = parent(doc, id);
    return id;
}

uint64_t format_path(const Document* doc, NodeId id, PathStyle style, void* buffer, uint64_t size) {
    BoundedWriter w = bounded_writer(buffer, size);
    uint32_t chain_length = node_chain_length(doc, id);
    if (chain_length == 0) return 0;
    // Most paths are shallow: their chain fits on the stack.
    NodeId local_chain[64];
    NodeId* chain = chain_length <= 64 ? local_chain : mem_alloc_array<NodeId>(chain_length);
    if (!chain) return 0;
    for (uint32_t i = chain_length; i-- > 0; id = parent(doc, id)) chain[i] = id;
    style = static_cast<PathStyle>(style_index(style));
    if (style == PathStyle::JsonPath) put(&w, "$");
    else if (style == PathStyle::Jq) put(&w, ".");
    for (uint32_t segment = 1; segment < chain_length; segment++) {
        NodeId node = chain[segment];
        if (!has_key(doc, node)) {
            put_index_segment(&w, style, index_in_parent(doc, node));
            continue;
        }
        DecodedText key;
        (void)decode_node_text(doc, node, DecodedPart::Key, &key);  // an unreadable key is written empty
        put_key_segment(&w, style, key, segment);
        release_decoded_text(&key);
    }
    if (chain != local_chain) mem_free(chain);
    return w.total;
}

uint64_t breadcrumb_label(const Document* doc, NodeId id, void* buffer, uint64_t size) {
    BoundedWriter w = bounded_writer(buffer, size);
    if (id >= node_count(doc)) return 0;
    if (id == 0) {
        put(&w, is_records(doc) ? "records" : "root");
        return w.total;
    }
    if (record_line(doc, id) != 0) {
        char count[COUNT_TEXT_SIZE];
        format_count(record_line(doc, id), count, sizeof count);
        put(&w, "line ");
        put(&w, count);
        return w.total;
    }
    if (!has_key(doc, id)) {
        char index[16];
        std::snprintf(index, sizeof index, "[%u]", index_in_parent(doc, id));
        put(&w, index);
        return w.total;
    }
    DecodedText key;
    if (!decode_node_text(doc, id, DecodedPart::Key, &key)) {
        BoundedWriter empty = bounded_writer(buffer, size);
        return empty.total;
    }
    uint64_t run = 0;
    for (uint64_t i = 0; i < key.length; i++) {
        if (!is_control_byte(key.bytes[i])) continue;
        bw_append(&w, key.bytes + run, i - run);
        uint8_t symbol[3];
        visible_control_utf8(key.bytes[i], symbol);
        bw_append(&w, symbol, 3);
        run = i + 1;
    }
    bw_append(&w, key.bytes + run, key.length - run);
    release_decoded_text(&key);
    return w.total;
}
