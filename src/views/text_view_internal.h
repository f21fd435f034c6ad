// What the text view's builder, painters and line maps share inside views/.
#pragma once

#include <cstdint>

#include "describe/format.h"
#include "views/row_paint.h"
#include "views/text_view.h"

// Lines longer than this many bytes are painted only this far.
constexpr uint32_t SOURCE_LINE_PAINT_LIMIT = 10000;

// The first Node a text line can show: NodeId 1 in a records Document (its
// root has no line of its own), else 0.
inline NodeId first_shown_node(const TextView* view) { return view->records ? 1 : 0; }

// Where a Node's text begins: its key, or its value when it has no key. These
// starts ascend with NodeIds.
uint32_t token_start(const Document* doc, NodeId id);
// The first Node from `from` on whose token starts at or after `offset`, or the
// node count when there is none.
NodeId first_node_at_or_after(const Document* doc, NodeId from, uint32_t offset);

// One source line: [start, end) is its text without the line break (LF or
// CR LF); `next` is where the next line starts (the text length for the last).
struct SourceLine {
    uint32_t start;
    uint32_t end;
    uint32_t next;
    bool last;
};
SourceLine source_line(const Document* doc, uint32_t line);

// A pretty line as pieces of text: indentation, the key as written, ": ",
// the value or a bracket, a comma; or for a broken value the warning, its
// message and its source text. `token` says which piece is a key (1) or a
// value (2) for search marks.
struct LinePiece {
    const uint8_t* bytes;
    uint32_t length;
    RunStyle style;
    uint8_t token;
};
constexpr uint8_t PIECE_TEXT = 0;
constexpr uint8_t PIECE_KEY = 1;
constexpr uint8_t PIECE_VALUE = 2;

struct PrettyLine {
    NodeId node;
    bool closing;
    LinePiece pieces[10];
    uint32_t piece_count;
    char record_line[COUNT_TEXT_SIZE];  // the text a broken value's line number piece points at
};
// False for a line beyond the text.
bool pretty_line(const TextView* view, uint32_t line, PrettyLine* out);

void build_source_line(const TextView* view, uint32_t line, uint32_t budget, const SearchState* search,
                       NodeId current_match, RowPaint* paint);
void build_pretty_line(const TextView* view, uint32_t line, uint32_t budget, const SearchState* search,
                       NodeId current_match, RowPaint* paint);
