#include "views/tree_row.h"

#include <cstdio>
#include <cstring>

#include "describe/format.h"
#include "views/row_pieces.h"

namespace {

// Longest text shown for a string, a scalar or a broken value, in characters.
constexpr uint32_t VALUE_CHARACTER_LIMIT = 500;
constexpr uint32_t PREVIEW_KEY_LIMIT = 20;
constexpr uint32_t PREVIEW_VALUE_LIMIT = 24;
// Room a preview keeps for ", …" and its closing bracket while more children
// follow, and for the closing bracket alone after the last one.
constexpr uint32_t MORE_CHILDREN_ROOM = 4;
constexpr uint32_t LAST_CHILD_ROOM = 1;
const char EMPTY_KEY[] = "\"\"";
const char QUOTE[] = "\"";

struct RowBuild {
    const RowModel* model;
    const Document* doc;
    NodeId id;
    RowWriter writer;
    // The shown value text, for search marks.
    Piece value;
    bool value_shown;
};

Piece key_piece(const Document* doc, NodeId id, RunStyle style, uint32_t limit) {
    TextSlice slice = key_text(doc, id);
    return source_piece(slice.bytes, slice.length, slice.escaped, style, limit);
}

// The text between a string's quotes.
Piece string_content(const Document* doc, NodeId id, RunStyle style, uint32_t limit) {
    uint32_t length = value_length(doc, id);
    bool escaped = (node_flags(doc, id) & NodeFlags::ValueEscaped) != 0;
    return source_piece(text(doc) + value_offset(doc, id) + 1, length >= 2 ? length - 2 : 0, escaped, style, limit);
}

Piece source_text(const Document* doc, NodeId id, RunStyle style, uint32_t limit) {
    return source_piece(text(doc) + value_offset(doc, id), value_length(doc, id), false, style, limit);
}

// A child's value inside a preview: brackets for containers, "⚠" for a broken
// value, a short string or source text. Returns the number of pieces.
uint32_t short_value(const Document* doc, NodeId child, Piece* out) {
    NodeKind child_kind = kind(doc, child);
    bool object = child_kind == NodeKind::Object;
    if (is_container_kind(child_kind)) {
        bool empty = first_child(doc, child) == NO_NODE;
        out[0] = literal_piece(empty ? (object ? "{}" : "[]") : (object ? "{\xE2\x80\xA6}" : "[\xE2\x80\xA6]"),
                               RunStyle::Preview);
        return 1;
    }
    if (child_kind == NodeKind::Error) {
        out[0] = literal_piece("\xE2\x9A\xA0", RunStyle::Preview);
        return 1;
    }
    if (child_kind == NodeKind::String) {
        out[0] = literal_piece(QUOTE, RunStyle::Preview);
        out[1] = string_content(doc, child, RunStyle::Preview, PREVIEW_VALUE_LIMIT);
        out[2] = literal_piece(QUOTE, RunStyle::Preview);
        return 3;
    }
    out[0] = source_text(doc, child, RunStyle::Preview, PREVIEW_VALUE_LIMIT);
    return 1;
}

// The children of a collapsed container, in order, as far as they fit whole;
// "…" stands for the rest.
void write_preview(RowBuild* build, uint32_t room) {
    const Document* doc = build->doc;
    bool object = kind(doc, build->id) == NodeKind::Object;
    write_text(&build->writer, "  ", RunStyle::Plain);
    write_text(&build->writer, object ? "{" : "[", RunStyle::Preview);
    uint64_t used = 3;
    NodeId end = subtree_end(doc, build->id);
    for (NodeId child = build->id + 1; child < end;) {
        NodeId next = subtree_end(doc, child);
        bool first = child == build->id + 1;
        Piece pieces[6];
        uint32_t count = 0;
        if (!first) pieces[count++] = literal_piece(", ", RunStyle::Preview);
        if (has_key(doc, child)) {
            Piece key = key_piece(doc, child, RunStyle::Preview, PREVIEW_KEY_LIMIT);
            pieces[count++] = piece_width(key, 0) ? key : literal_piece(EMPTY_KEY, RunStyle::Preview);
            pieces[count++] = literal_piece(": ", RunStyle::Preview);
        }
        count += short_value(doc, child, pieces + count);
        uint32_t width = pieces_width(pieces, count, room);
        if (used + width + (next < end ? MORE_CHILDREN_ROOM : LAST_CHILD_ROOM) > room) {
            write_text(&build->writer, first ? ELLIPSIS : ", \xE2\x80\xA6", RunStyle::Preview);
            break;
        }
        write_pieces(&build->writer, pieces, count, width);
        used += width;
        child = next;
    }
    write_text(&build->writer, object ? "}" : "]", RunStyle::Preview);
}

void write_container(RowBuild* build, uint32_t room) {
    const Document* doc = build->doc;
    bool object = kind(doc, build->id) == NodeKind::Object;
    bool has_children = first_child(doc, build->id) != NO_NODE;
    char summary[COUNT_TEXT_SIZE + 2];
    Piece value;
    if (has_children) {
        summary[0] = object ? '{' : '[';
        uint32_t digits = format_count(child_count(doc, build->id), summary + 1, COUNT_TEXT_SIZE);
        summary[1 + digits] = object ? '}' : ']';
        summary[2 + digits] = 0;
        value = literal_piece(summary, RunStyle::Summary);
    } else {
        value = literal_piece(object ? "{}" : "[]", RunStyle::Punctuation);
    }
    room -= fit_pieces(&build->writer, &value, 1, room);
    if (node_flags(doc, build->id) & NodeFlags::Unclosed) {
        Piece cut_short[2] = {literal_piece(" ", RunStyle::Plain), literal_piece("(cut short)", RunStyle::Warning)};
        room -= fit_pieces(&build->writer, cut_short, 2, room);
    }
    if (has_children && !is_expanded(build->model, build->id) && room > MORE_CHILDREN_ROOM) write_preview(build, room);
}

// A string in quotes; past 500 characters, or past the room, it ends in "…"
// and its closing quote (or, with less than 3 characters of room, in "…").
void write_string(RowBuild* build, uint32_t room) {
    RowWriter* writer = &build->writer;
    build->value = string_content(build->doc, build->id, RunStyle::String, NO_LIMIT);
    build->value_shown = true;
    uint32_t most = room - 2 < VALUE_CHARACTER_LIMIT ? room - 2 : VALUE_CHARACTER_LIMIT;
    write_text(writer, QUOTE, RunStyle::String);
    if (piece_width(build->value, most) <= most) {
        write_pieces(writer, &build->value, 1, most);
        write_text(writer, QUOTE, RunStyle::String);
    } else if (room < 3) {
        write_text(writer, ELLIPSIS, RunStyle::String);
    } else {
        write_pieces(writer, &build->value, 1, room - 3 < VALUE_CHARACTER_LIMIT ? room - 3 : VALUE_CHARACTER_LIMIT);
        write_text(writer, ELLIPSIS, RunStyle::String);
        write_text(writer, QUOTE, RunStyle::String);
    }
}

// "⚠ ", the problem's message, two spaces and the broken source text.
void write_broken(RowBuild* build, uint32_t room) {
    const char* message = problem_message_for(build->doc, build->id);
    Piece pieces[4] = {
        literal_piece("\xE2\x9A\xA0 ", RunStyle::Warning),
        literal_piece(message ? message : "", RunStyle::Warning),
        literal_piece("  ", RunStyle::Plain),
        source_text(build->doc, build->id, RunStyle::Preview, VALUE_CHARACTER_LIMIT),
    };
    fit_pieces(&build->writer, pieces, 4, room);
    build->value = pieces[3];
    build->value_shown = true;
}

void write_scalar(RowBuild* build, uint32_t room) {
    build->value = source_text(build->doc, build->id, value_style(kind(build->doc, build->id)), VALUE_CHARACTER_LIMIT);
    build->value_shown = true;
    fit_pieces(&build->writer, &build->value, 1, room);
}

// Marks the matches inside a piece's shown characters. The matcher sees them
// decoded, with control characters as themselves; each control character
// before a match's edge moves it by the two extra bytes of its symbol.
void mark_piece(RowPaint* paint, const SearchState* search, const Piece& piece, bool is_key, uint8_t mark) {
    if (piece.shown_chars == 0) return;
    // The decoded characters take no more bytes than their shown form.
    uint8_t* decoded = row_paint_spare(paint, paint->length);
    if (!decoded) return;
    CharDecoder decoder = char_decoder(piece.bytes, piece.length, piece.escapes);
    uint32_t length = 0;
    for (uint32_t i = 0; i < piece.shown_chars; i++) length += next_char(&decoder, decoded + length);
    uint32_t starts[MAX_ROW_MARKS], lengths[MAX_ROW_MARKS];
    uint32_t count = find_marks(search, decoded, length, is_key, starts, lengths, MAX_ROW_MARKS);
    if (count > MAX_ROW_MARKS) count = MAX_ROW_MARKS;
    uint32_t scanned = 0, controls = 0;
    auto shown_offset = [&](uint32_t offset) {
        for (; scanned < offset; scanned++) controls += decoded[scanned] < 0x20 || decoded[scanned] == 0x7F;
        return piece.shown_start + offset + 2 * controls;
    };
    for (uint32_t i = 0; i < count; i++) {
        uint32_t start = shown_offset(starts[i]);
        uint32_t end = shown_offset(starts[i] + lengths[i]);
        if (!mark_range(paint, start, end - start, mark)) return;
    }
}

// The row's label and the separator after it: "root", "records", "line
// 1,234", "[7]" or the key (two quotes for an empty one). True when the label
// is a key whose characters are shown, and so take search marks.
bool make_label(const Document* doc, NodeId id, char* buffer, uint32_t size, Piece label[2]) {
    label[1] = literal_piece(" ", RunStyle::Plain);
    if (parent(doc, id) == NO_NODE) {
        label[0] = literal_piece(is_records(doc) ? "records" : "root", RunStyle::Plain);
    } else if (is_records(doc) && parent(doc, id) == 0) {
        std::memcpy(buffer, "line ", 5);
        format_count(record_line(doc, id), buffer + 5, size - 5);
        label[0] = literal_piece(buffer, RunStyle::Index);
    } else if (!has_key(doc, id)) {
        std::snprintf(buffer, size, "[%u]", index_in_parent(doc, id));
        label[0] = literal_piece(buffer, RunStyle::Index);
    } else {
        label[0] = key_piece(doc, id, RunStyle::Key, NO_LIMIT);
        label[1] = literal_piece(": ", RunStyle::Punctuation);
        if (piece_width(label[0], 0) > 0) return true;
        label[0] = literal_piece(EMPTY_KEY, RunStyle::Key);
    }
    return false;
}

}  // namespace

void build_tree_row(const RowModel* model, uint32_t row, uint32_t budget, const SearchState* search,
                    NodeId current_match, RowPaint* paint) {
    uint32_t row_depth = model ? depth(model->document, node_at_row(model, row)) : 0;
    build_tree_row_at_depth(model, row, row_depth, budget, search, current_match, paint);
}

void build_tree_row_at_depth(const RowModel* model, uint32_t row, uint32_t node_depth, uint32_t budget,
                             const SearchState* search, NodeId current_match, RowPaint* paint) {
    reset_row_paint(paint);
    NodeId id = node_at_row(model, row);
    if (id == NO_NODE) return;
    const Document* doc = model->document;
    paint->node = id;
    paint->depth = node_depth;
    paint->chevron = is_expandable(doc, id) ? (is_expanded(model, id) ? 2 : 1) : 0;
    if (budget == 0) return;

    RowBuild build{model, doc, id, row_writer(paint), {}, false};
    char label_text[COUNT_TEXT_SIZE + 8];
    Piece label[2];
    bool key_shown = make_label(doc, id, label_text, sizeof label_text, label);
    uint32_t label_width = piece_width(label[0], budget);
    uint32_t separator_width = label[1].length;  // ASCII
    if (uint64_t{budget} <= uint64_t{label_width} + separator_width + 1) {
        // No room for a value: the label alone, cut to end in "…".
        write_pieces(&build.writer, label, 2, budget - 1);
        write_text(&build.writer, ELLIPSIS, label[0].style);
    } else {
        write_pieces(&build.writer, label, 2, label_width + separator_width);
        uint32_t room = budget - label_width - separator_width;
        NodeKind node_kind = kind(doc, id);
        if (is_container_kind(node_kind)) write_container(&build, room);
        else if (node_kind == NodeKind::String) write_string(&build, room);
        else if (node_kind == NodeKind::Error) write_broken(&build, room);
        else write_scalar(&build, room);
    }
    flush_row(&build.writer);
    if (!search || build.writer.failed) return;
    uint8_t mark = id == current_match ? 2 : 1;
    if (key_shown) mark_piece(paint, search, label[0], true, mark);
    if (build.value_shown) mark_piece(paint, search, build.value, false, mark);
}
