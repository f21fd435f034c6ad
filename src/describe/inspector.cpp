#include "describe/inspector.h"

#include <cstring>

#include "base/memory.h"
#include "base/utf8.h"
#include "describe/format.h"
#include "describe/json_writer.h"

namespace {

constexpr uint64_t WINDOW = 2097152;          // the value part shown: 2 MB
constexpr uint64_t LONGEST_LINE = 65536;
constexpr uint64_t EXACT_JSON_NODES = 4194305;  // below this, the exact JSON may be made in one piece
constexpr uint64_t EXACT_JSON_BYTES = 8388608;
constexpr uint32_t SMALL_SCALAR = 699049;      // below this, 3 bytes per source byte + 4 is enough

const char MIDDLE_DOT[] = " \xC2\xB7 ";

void append_header(TextBuilder* b, const Document* doc, NodeId id, PathStyle style) {
    append_type_summary(b, doc, id);
    tb_append_text(b, MIDDLE_DOT);
    append_formatted_size(b, value_length(doc, id));
    tb_append_text(b, "\n");
    char local[512];
    uint64_t length = format_path(doc, id, style, local, sizeof local);
    if (length == 0) {
        tb_append_text(b, "(root)");
    } else if (length < sizeof local) {
        tb_append(b, local, length);
    } else if (char* path = static_cast<char*>(mem_alloc(length + 1))) {
        format_path(doc, id, style, path, length + 1);
        tb_append(b, path, length);
        mem_free(path);
    } else {
        b->failed = 1;
    }
    tb_append_text(b, "\n");
    uint32_t repeats = key_repeat_count(doc, id);
    if (repeats > 1) {
        tb_append_text(b, "This key appears ");
        append_formatted_count(b, repeats);
        tb_append_text(b, " times in its object.\n");
    }
    tb_append_text(b, "\n");
}

struct ValuePart {
    uint64_t size;  // full size of the value, rendered or not
    bool complete;  // the whole value was rendered
};

// Renders a container's pretty JSON into the builder (capped by the caller).
ValuePart render_container(TextBuilder* b, const Document* doc, NodeId id) {
    uint64_t start = b->length;
    uint64_t nodes = subtree_end(doc, id) - id;
    if (nodes < EXACT_JSON_NODES) {
        uint64_t size = json_text_length(doc, id, true);
        if (size >= 1 && size <= EXACT_JSON_BYTES) {
            uint64_t length = 0;
            if (char* json = json_text(doc, id, true, &length)) {
                tb_append_repaired(b, reinterpret_cast<const uint8_t*>(json), length);
                free_text(json);
                return ValuePart{size, !b->truncated};
            }
        }
        if (write_capped(b, doc, id)) return ValuePart{b->length - start, true};
        if (size == 0 && !b->failed) {
            TextBuilder measure = tb_measuring();
            (void)write_capped(&measure, doc, id);
            size = measure.length;
        }
        return ValuePart{size, false};
    }
    if (write_capped(b, doc, id)) return ValuePart{b->length - start, true};
    return ValuePart{value_length(doc, id), false};
}

// Decodes a scalar's value into the builder within its byte budget.
ValuePart render_scalar(TextBuilder* b, const Document* doc, NodeId id) {
    uint64_t size = 0;
    uint64_t limit = SMALL_SCALAR;
    uint64_t large_budget = WINDOW;
    if (kind(doc, id) == NodeKind::Error) {
        const char* message = problem_message_for(doc, id);
        if (!message) message = "could not be read";
        uint64_t m = std::strlen(message);
        tb_append(b, message, m);
        tb_append_text(b, "\n\n");
        size = m + 2;
        limit = (2097146 - m) / 3;
        large_budget = 2097150 - m;
    }
    uint64_t length = value_length(doc, id);
    uint64_t budget = length < limit ? 3 * length + 4 : large_budget;
    if (!tb_reserve(b, budget)) {
        // Without room for the window the note still tells the full size.
        if (length >= limit) {
            BoundedWriter measure = bounded_writer(nullptr, 0);
            decode_value_into(doc, id, &measure);
            size += measure.total;
        }
        return ValuePart{size, false};
    }
    BoundedWriter writer = bounded_writer(b->data + b->length, budget + 1);
    decode_value_into(doc, id, &writer);
    b->length += writer.written;
    size += writer.total;
    return ValuePart{size, writer.total == writer.written};
}

void append_note(TextBuilder* b, uint64_t size) {
    tb_append_text(b, "\n\nShowing the first 2 MB of ");
    append_formatted_size(b, size);
    tb_append_text(b, ". Copy gets all of it.");
}

// Cuts the value part (from `start`) to at most the window: at its last line
// feed, which is dropped, or else at a character boundary.
void cut_to_window(TextBuilder* b, uint64_t start) {
    if (b->length - start <= WINDOW) return;
    uint64_t end = start + WINDOW;
    const void* line_feed = nullptr;
    for (uint64_t at = end; at > start; at--) {
        if (b->data[at - 1] == '\n') {
            line_feed = b->data + at - 1;
            break;
        }
    }
    if (line_feed) end = static_cast<const uint8_t*>(line_feed) - b->data;
    else end = start + utf8_cut_point(b->data + start, b->length - start, WINDOW);
    b->length = end;
    b->data[end] = 0;
}

// Replaces [cut, line_end) with the "more on this line" note; false when the
// text cannot grow for it.
bool replace_line_rest(TextBuilder* b, uint64_t cut, uint64_t line_end, uint64_t rest, uint64_t* new_line_end) {
    char size[64];
    format_size(rest, size, sizeof size);
    char note[96];
    int note_length = std::snprintf(note, sizeof note, " \xE2\x80\xA6 %s more on this line", size);
    uint64_t removed = line_end - cut;
    if (static_cast<uint64_t>(note_length) > removed && !tb_reserve(b, note_length - removed)) return false;
    std::memmove(b->data + cut + note_length, b->data + line_end, b->length - line_end + 1);
    std::memcpy(b->data + cut, note, note_length);
    b->length = b->length - removed + note_length;
    *new_line_end = cut + note_length;
    return true;
}

}  // namespace

bool cut_long_lines(TextBuilder* b, uint64_t from, uint64_t total_size) {
    if (b->fixed || b->failed || b->measure_only) {
        b->failed = 1;
        return false;
    }
    bool shortened = false;
    uint64_t original_before = 0;  // value bytes before the current line, as rendered
    uint64_t at = from;
    while (at < b->length) {
        const void* found = std::memchr(b->data + at, '\n', b->length - at);
        uint64_t line_end = found ? static_cast<const uint8_t*>(found) - b->data : b->length;
        uint64_t line_length = line_end - at;
        if (line_length > LONGEST_LINE) {
            uint64_t cut = at + utf8_cut_point(b->data + at, line_length, LONGEST_LINE);
            uint64_t kept = cut - at;
            uint64_t rest;
            if (found) {
                rest = line_length - kept;
            } else {
                uint64_t before_cut = original_before + kept;
                rest = total_size > before_cut ? total_size - before_cut : 0;
            }
            if (!replace_line_rest(b, cut, line_end, rest, &line_end)) return shortened;
            shortened = true;
        }
        original_before += line_length + (found ? 1 : 0);
        if (!found) break;
        at = line_end + 1;
    }
    return shortened;
}

char* inspector_text(const Document* doc, NodeId id, PathStyle style, uint64_t* out_length) {
    if (out_length) *out_length = 0;
    if (id >= node_count(doc)) return nullptr;
    TextBuilder b = tb_growable();
    append_header(&b, doc, id, style);
    if (b.failed) {
        tb_free(&b);
        return nullptr;
    }
    uint64_t start = b.length;
    bool container = is_container_kind(kind(doc, id));
    b.cap = start + WINDOW + 1;
    ValuePart part = container ? render_container(&b, doc, id) : render_scalar(&b, doc, id);
    b.cap = TB_NO_CAP;
    b.truncated = 0;
    bool note = false;
    if (b.failed) {
        bool fits = container ? part.complete && part.size <= WINDOW + 1 : part.size <= WINDOW;
        if (fits) {
            tb_free(&b);
            return nullptr;
        }
        b.failed = 0;  // what was rendered stays, with the note
        note = true;
    } else {
        // A shortened line says so itself; the note is for a value cut to
        // the window.
        (void)cut_long_lines(&b, start, part.size);
        if (container) {
            note = !part.complete || b.length - start > WINDOW;
            cut_to_window(&b, start);
        } else {
            note = part.size > WINDOW;
        }
    }
    if (note) append_note(&b, part.size);
    if (b.failed) {
        tb_free(&b);
        return nullptr;
    }
    if (out_length) *out_length = b.length;
    return reinterpret_cast<char*>(b.data);
}
