// Writing a text-view line into a RowPaint under a character budget, and
// marking search matches on the key and value tokens it shows.
//
// Characters are shown as in the text view: printable ASCII and well-formed
// UTF-8 as they are; a tab as spaces up to the next multiple of 4 columns
// (source text) or as ⇥ (pretty text); line feed, 0x7F and the other control
// codes as their visible symbols; any other byte as U+FFFD. Each character
// takes one cell (a tab one per space).
//
// The budget is applied without looking back: the caller first measures the
// line (shown_width), then allows budget - 1 characters when it has more than
// the budget, and the character that would come next is drawn as "…" in its
// own style. So "…" replaces the last character that fits.
#pragma once

#include <cstdint>

#include "search/matcher.h"
#include "views/row_pieces.h"

struct LineWriter {
    RowWriter row;
    bool tab_stops;      // source text: tabs become spaces
    uint32_t column;     // cells shown so far
    uint64_t allowed;    // cells that may still be shown before "…"
    bool full;           // "…" was written: nothing more is shown
};

LineWriter line_writer(RowPaint* paint, bool tab_stops);
// Cells of the text from `column` on, counted only until they pass `stop`.
uint64_t shown_width(const uint8_t* bytes, uint64_t length, bool tab_stops, uint32_t column, uint64_t stop);
// Lets everything be shown when `coming` cells fit in `budget` (at least 1),
// else budget - 1 cells and then "…". Clears `full`.
void limit_line(LineWriter* writer, uint64_t coming, uint32_t budget);
// Shows source bytes in a style and returns how many of them were shown whole
// (up to the character that "…" replaced, if any).
uint32_t write_line_bytes(LineWriter* writer, const uint8_t* bytes, uint32_t length, RunStyle style);
void write_line_text(LineWriter* writer, const char* text, RunStyle style);
// Bytes of the RowPaint's text written so far, pending ones included.
uint32_t line_output_length(const LineWriter* writer);

// A key or value token as painted on a line.
struct ShownToken {
    NodeId node;
    bool is_key;
    const uint8_t* token;  // the whole token in the Document's text
    uint32_t length;
    const uint8_t* shown;  // the part of it shown on the line, whole characters
    uint32_t shown_length;
    uint32_t output_start;  // where `shown` begins in the RowPaint's text
    uint32_t output_end;    // where the token's shown part ends, its "…" included
    uint32_t column;        // the column at output_start
    bool cut;               // the line or the budget showed only part of it
};

// Marks the matches inside the token's shown bytes (without its quotes, as
// written); when a cut token shows none but its decoded key or value (up to
// 65,536 bytes) holds one, the whole shown part is marked.
void mark_token(LineWriter* writer, const Document* doc, const SearchState* search, const ShownToken& token,
                uint8_t mark);
