// The lines of pretty text: the pieces each line is made of (shared with
// text_of_lines) and painting them.
#include <cstring>

#include "views/line_writer.h"
#include "views/text_view_internal.h"

namespace {

constexpr uint32_t MAX_INDENT_LEVELS = 40;
const char INDENT[] = "                                                                                ";
static_assert(sizeof INDENT - 1 == 2 * MAX_INDENT_LEVELS);

LinePiece text_piece(const char* text, RunStyle style) {
    return LinePiece{reinterpret_cast<const uint8_t*>(text), static_cast<uint32_t>(std::strlen(text)), style,
                     PIECE_TEXT};
}

// The Node's depth, counted only up to `most`: indentation stops growing at
// 40 levels, so a line of a deeply nested document costs no more than that.
uint32_t depth_up_to(const Document* doc, NodeId id, uint32_t most) {
    uint32_t levels = 0;
    for (NodeId up = parent(doc, id); up != NO_NODE && levels < most; up = parent(doc, up)) levels++;
    return levels;
}

bool opens_container(const Document* doc, NodeId id, bool closing) {
    return !closing && is_container_kind(kind(doc, id)) && first_child(doc, id) != NO_NODE;
}

bool takes_comma(const TextView* view, uint32_t line, NodeId id, bool closing) {
    const Document* doc = view->document;
    if (opens_container(doc, id, closing) || line + 1 >= view->line_count) return false;
    if (view->lines[line + 1] & CLOSING_LINE) return false;
    return !(view->records && parent(doc, id) == 0);
}

// "⚠ line 12: message: " and the broken source text, all as warnings.
void broken_value_pieces(const Document* doc, NodeId id, PrettyLine* out) {
    const char* message = problem_message_for(doc, id);
    format_count(record_line(doc, id), out->record_line, sizeof out->record_line);
    LinePiece* p = out->pieces + out->piece_count;
    p[0] = text_piece("\xE2\x9A\xA0 line ", RunStyle::Warning);
    p[1] = text_piece(out->record_line, RunStyle::Warning);
    p[2] = text_piece(": ", RunStyle::Warning);
    p[3] = text_piece(message ? message : "could not be read", RunStyle::Warning);
    p[4] = text_piece(": ", RunStyle::Warning);
    p[5] = LinePiece{text(doc) + value_offset(doc, id), value_length(doc, id), RunStyle::Warning, PIECE_VALUE};
    out->piece_count += 6;
}

}  // namespace

bool pretty_line(const TextView* view, uint32_t line, PrettyLine* out) {
    if (!view || line >= view->line_count) return false;
    const Document* doc = view->document;
    uint32_t entry = view->lines[line];
    NodeId id = entry & ~CLOSING_LINE;
    out->node = id;
    out->closing = (entry & CLOSING_LINE) != 0;
    out->piece_count = 0;
    uint32_t level = depth_up_to(doc, id, MAX_INDENT_LEVELS + view->records) - view->records;
    LinePiece* pieces = out->pieces;
    if (level) pieces[out->piece_count++] = LinePiece{reinterpret_cast<const uint8_t*>(INDENT), 2 * level,
                                                      RunStyle::Punctuation, PIECE_TEXT};
    NodeKind node_kind = kind(doc, id);
    bool object = node_kind == NodeKind::Object;
    if (out->closing) {
        pieces[out->piece_count++] = text_piece(object ? "}" : "]", RunStyle::Punctuation);
    } else if (node_kind == NodeKind::Error) {
        broken_value_pieces(doc, id, out);
    } else {
        if (has_key(doc, id)) {
            pieces[out->piece_count++] =
                LinePiece{text(doc) + key_offset(doc, id), key_token_length(doc, id), RunStyle::Key, PIECE_KEY};
            pieces[out->piece_count++] = text_piece(": ", RunStyle::Punctuation);
        }
        if (opens_container(doc, id, false)) {
            pieces[out->piece_count++] = text_piece(object ? "{" : "[", RunStyle::Punctuation);
        } else if (is_container_kind(node_kind)) {
            pieces[out->piece_count++] = text_piece(object ? "{}" : "[]", RunStyle::Punctuation);
        } else {
            pieces[out->piece_count++] = LinePiece{text(doc) + value_offset(doc, id), value_length(doc, id),
                                                   value_style(node_kind), PIECE_VALUE};
        }
    }
    if (takes_comma(view, line, id, out->closing)) pieces[out->piece_count++] = text_piece(",", RunStyle::Punctuation);
    return true;
}

void build_pretty_line(const TextView* view, uint32_t line, uint32_t budget, const SearchState* search,
                       NodeId current_match, RowPaint* paint) {
    PrettyLine shown;
    if (!pretty_line(view, line, &shown)) return;
    paint->node = shown.node;
    paint->closing_line = shown.closing;
    paint->line_number = line + 1;
    if (budget == 0) return;
    LineWriter writer = line_writer(paint, false);
    uint64_t coming = 0;
    for (uint32_t i = 0; i < shown.piece_count && coming <= budget; i++)
        coming += shown_width(shown.pieces[i].bytes, shown.pieces[i].length, false, 0, budget - coming);
    limit_line(&writer, coming, budget);
    for (uint32_t i = 0; i < shown.piece_count && !writer.full; i++) {
        const LinePiece& piece = shown.pieces[i];
        uint32_t output_start = line_output_length(&writer);
        uint32_t column = writer.column;
        uint32_t shown_bytes = write_line_bytes(&writer, piece.bytes, piece.length, piece.style);
        if (!search || piece.token == PIECE_TEXT) continue;
        ShownToken token{.node = shown.node,
                         .is_key = piece.token == PIECE_KEY,
                         .token = piece.bytes,
                         .length = piece.length,
                         .shown = piece.bytes,
                         .shown_length = shown_bytes,
                         .output_start = output_start,
                         .output_end = line_output_length(&writer),
                         .column = column,
                         .cut = shown_bytes < piece.length};
        mark_token(&writer, view->document, search, token, shown.node == current_match ? 2 : 1);
    }
    flush_row(&writer.row);
}
