// Painting a line of source text: tokens in their kind's style, the gaps
// between them through a small comment state machine, the character at each
// problem as a warning, a note for bytes past the 10,000-byte limit, and the
// problems of the line as notes at its end.
#include <cstdio>
#include <cstring>

#include "base/utf8.h"
#include "views/line_writer.h"
#include "views/text_view_internal.h"

namespace {

// Problems noted on one line, at most.
constexpr uint32_t MAX_LINE_PROBLEMS = 8;
const char NOTE_MARK[] = "  \xE2\x97\x80 ";  // two spaces, "◀", a space

enum class GapState { Code, BlockComment, LineComment };

struct SourcePainter {
    const TextView* view;
    const Document* doc;
    const uint8_t* text;
    const SearchState* search;
    NodeId current_match;
    LineWriter writer;
    GapState state;
    // The painted part of the line, and how far it has been painted.
    uint32_t line_start;
    uint32_t paint_end;
    uint32_t cursor;
    // The problems whose offsets lie on this line, by offset.
    const Problem* problems;
    uint32_t problem_count;
};

bool is_punctuation(uint8_t byte) {
    return byte == '\t' || byte == '\n' || byte == '\r' || byte == ' ' || byte == ',' || byte == ':' || byte == '[' ||
           byte == ']' || byte == '{' || byte == '}';
}

// Shows [from, to) in a style, the character at each problem's offset as a
// warning. Returns the bytes shown whole.
uint32_t paint_range(SourcePainter* painter, uint32_t from, uint32_t to, RunStyle style) {
    uint32_t start = from;
    uint32_t next = 0;
    while (from < to && !painter->writer.full) {
        while (next < painter->problem_count && painter->problems[next].offset < from) next++;
        uint32_t warn = next < painter->problem_count && painter->problems[next].offset < to
                            ? painter->problems[next].offset
                            : to;
        if (warn > from) {
            uint32_t shown = write_line_bytes(&painter->writer, painter->text + from, warn - from, style);
            if (shown < warn - from) return from + shown - start;
            from = warn;
        }
        if (from >= to) break;
        uint32_t length = utf8_sequence_length(painter->text + from, painter->text + to);
        if (length == 0) length = 1;
        uint32_t shown = write_line_bytes(&painter->writer, painter->text + from, length, RunStyle::Warning);
        if (shown < length) break;
        from += length;
    }
    return from - start;
}

// Shows the text between tokens: comments as comments, brackets, commas,
// colons and blanks as punctuation, anything else (stray text) as comment.
void paint_gap(SourcePainter* painter, uint32_t from, uint32_t to) {
    const uint8_t* t = painter->text;
    while (from < to && !painter->writer.full) {
        if (painter->state == GapState::LineComment) {
            paint_range(painter, from, to, RunStyle::Comment);
            return;
        }
        if (painter->state == GapState::BlockComment) {
            uint32_t end = to;
            for (uint32_t at = from; at + 1 < to; at++) {
                if (t[at] == '*' && t[at + 1] == '/') {
                    end = at + 2;
                    painter->state = GapState::Code;
                    break;
                }
            }
            paint_range(painter, from, end, RunStyle::Comment);
            from = end;
            continue;
        }
        if (t[from] == '/' && from + 1 < to && t[from + 1] == '/') {
            painter->state = GapState::LineComment;
            continue;
        }
        if (t[from] == '/' && from + 1 < to && t[from + 1] == '*') {
            paint_range(painter, from, from + 2, RunStyle::Comment);
            painter->state = GapState::BlockComment;
            from += 2;
            continue;
        }
        bool punctuation = is_punctuation(t[from]);
        uint32_t end = from + 1;
        while (end < to && t[end] != '/' && is_punctuation(t[end]) == punctuation) end++;
        paint_range(painter, from, end, punctuation ? RunStyle::Punctuation : RunStyle::Comment);
        from = end;
    }
}

bool begins_in_comment(const TextView* view, uint32_t line) {
    return view->comment_lines && (view->comment_lines[line >> 6] >> (line & 63) & 1);
}

// The problems on the line: offsets from its start up to the next line's
// start (to the end of the text on the last line), at most 8.
void find_line_problems(SourcePainter* painter, const SourceLine& shown) {
    const Document* doc = painter->doc;
    uint32_t low = 0, high = doc->problem_count;
    while (low < high) {
        uint32_t mid = low + (high - low) / 2;
        if (doc->problems[mid].offset < shown.start) low = mid + 1;
        else high = mid;
    }
    painter->problems = doc->problems + low;
    uint32_t count = 0;
    while (low + count < doc->problem_count && count < MAX_LINE_PROBLEMS &&
           (shown.last || doc->problems[low + count].offset < shown.next))
        count++;
    painter->problem_count = count;
}

uint64_t notes_width(const SourcePainter* painter) {
    uint64_t cells = 0;
    for (uint32_t i = 0; i < painter->problem_count; i++) {
        const char* message = problem_message_text(painter->problems[i].message);
        cells += 4 + utf8_count_chars(reinterpret_cast<const uint8_t*>(message), std::strlen(message));
    }
    return cells;
}

// A key or value token, clipped to the painted part of the line, after the
// gap before it.
void paint_token(SourcePainter* painter, NodeId id, bool is_key, uint32_t start, uint32_t length, RunStyle style) {
    uint64_t end = uint64_t{start} + length;
    uint32_t from = start > painter->cursor ? start : painter->cursor;
    uint32_t to = end < painter->paint_end ? static_cast<uint32_t>(end) : painter->paint_end;
    if (to <= from) return;
    paint_gap(painter, painter->cursor, from);
    painter->cursor = to;
    painter->state = GapState::Code;
    uint32_t output_start = line_output_length(&painter->writer);
    uint32_t column = painter->writer.column;
    uint32_t shown = paint_range(painter, from, to, style);
    if (!painter->search) return;
    const uint8_t* t = painter->text;
    ShownToken token{.node = id,
                     .is_key = is_key,
                     .token = t + start,
                     .length = length,
                     .shown = t + from,
                     .shown_length = shown,
                     .output_start = output_start,
                     .output_end = line_output_length(&painter->writer),
                     .column = column,
                     .cut = start < from || end > to || shown < to - from};
    mark_token(&painter->writer, painter->doc, painter->search, token, id == painter->current_match ? 2 : 1);
}

// The key and scalar value tokens of the Nodes that overlap the painted part
// of the line, and the gaps around them.
void paint_tokens(SourcePainter* painter) {
    const Document* doc = painter->doc;
    NodeId first = first_shown_node(painter->view);
    NodeId id = first_node_at_or_after(doc, first, painter->line_start);
    if (id > first) id--;
    for (; id < doc->node_count && !painter->writer.full; id++) {
        const Node* node = node_at(doc, id);
        if (node->key_offset != NO_NODE) {
            if (node->key_offset >= painter->paint_end) break;
            paint_token(painter, id, true, node->key_offset, key_token_length(doc, id), RunStyle::Key);
        }
        NodeKind node_kind = static_cast<NodeKind>(node->packed & NodePacked::KindMask);
        if (is_container_kind(node_kind)) continue;
        if (node->value_offset >= painter->paint_end) break;
        paint_token(painter, id, false, node->value_offset, value_length(doc, id), value_style(node_kind));
    }
    if (painter->cursor < painter->paint_end) paint_gap(painter, painter->cursor, painter->paint_end);
}

void paint_notes(SourcePainter* painter) {
    for (uint32_t i = 0; i < painter->problem_count; i++) {
        write_line_text(&painter->writer, NOTE_MARK, RunStyle::Warning);
        write_line_text(&painter->writer, problem_message_text(painter->problems[i].message), RunStyle::Warning);
    }
}

}  // namespace

void build_source_line(const TextView* view, uint32_t line, uint32_t budget, const SearchState* search,
                       NodeId current_match, RowPaint* paint) {
    if (!view || line >= view->line_count) return;
    const Document* doc = view->document;
    paint->node = node_of_line(view, line);
    paint->line_number = line + 1;
    if (budget == 0) return;
    SourceLine shown = source_line(doc, line);
    const uint8_t* t = text(doc);
    uint32_t length = shown.end - shown.start;
    uint32_t painted = static_cast<uint32_t>(utf8_cut_point(t + shown.start, length, SOURCE_LINE_PAINT_LIMIT));

    char left_over[COUNT_TEXT_SIZE + 32] = "";
    if (painted < length) {
        char size[COUNT_TEXT_SIZE];
        format_size(length - painted, size, sizeof size);
        std::snprintf(left_over, sizeof left_over, " \xE2\x80\xA6 %s more on this line", size);
    }
    GapState state = begins_in_comment(view, line) ? GapState::BlockComment : GapState::Code;
    SourcePainter painter{view, doc, t, search, current_match, line_writer(paint, true), state,
                          shown.start, shown.start + painted, shown.start, nullptr, 0};
    find_line_problems(&painter, shown);

    uint64_t notes = notes_width(&painter);
    uint64_t own = shown_width(t + shown.start, painted, true, 0, budget) +
                   shown_width(reinterpret_cast<const uint8_t*>(left_over), std::strlen(left_over), true, 0, budget);
    // Notes shorter than the budget always show: the line's own text gives way.
    bool reserve_notes = notes < budget;
    if (reserve_notes) limit_line(&painter.writer, own, budget - static_cast<uint32_t>(notes));
    else limit_line(&painter.writer, own + notes, budget);
    paint_tokens(&painter);
    write_line_text(&painter.writer, left_over, RunStyle::Comment);
    if (reserve_notes) limit_line(&painter.writer, notes, static_cast<uint32_t>(notes ? notes : 1));
    paint_notes(&painter);
    flush_row(&painter.writer.row);
}
