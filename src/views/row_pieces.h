// Writing a row as pieces of text under a character budget. A piece is a
// literal text or a slice of source text (decoded on the way), with a style
// and an optional character limit after which it ends in "…". Characters are
// decoded code points; control characters are shown as their visible symbols
// and count as one. Text reaches the RowPaint in chunks of at most 256 bytes.
#pragma once

#include <cstdint>

#include "views/row_paint.h"

constexpr uint32_t NO_LIMIT = 0xFFFFFFFF;
extern const char ELLIPSIS[];  // "…" U+2026

struct Piece {
    const uint8_t* bytes;
    uint32_t length;
    bool escapes;  // resolve backslash escapes while decoding
    RunStyle style;
    uint32_t limit;  // most characters of its own before "…" ends it
    // Filled while writing: where the piece's text starts in the RowPaint and
    // how many of its own characters were shown.
    uint32_t shown_start;
    uint32_t shown_chars;
};

// The style of a scalar value: String, Number, Boolean, Null, and Warning
// for a value that could not be read.
RunStyle value_style(NodeKind node_kind);

Piece literal_piece(const char* text, RunStyle style);
Piece source_piece(const uint8_t* bytes, uint32_t length, bool escapes, RunStyle style, uint32_t limit);

// Collects text into chunks and appends them to the RowPaint. After the first
// failed append nothing more is written, so the row is a clean prefix.
struct RowWriter {
    RowPaint* paint;
    bool failed;
    RunStyle style;
    uint32_t pending;
    uint8_t chunk[256];
};

RowWriter row_writer(RowPaint* paint);
// Bytes in a style, as they are (at most 256 at a time).
void write_bytes(RowWriter* writer, const uint8_t* bytes, uint32_t length, RunStyle style);
void write_text(RowWriter* writer, const char* text, RunStyle style);
// Hands the pending chunk to the RowPaint; call before reading it.
void flush_row(RowWriter* writer);

// Characters the piece shows (its limit's "…" included), counted only until
// they pass `stop`.
uint32_t piece_width(const Piece& piece, uint32_t stop);
uint32_t pieces_width(const Piece* pieces, uint32_t count, uint32_t stop);
// Writes at most `most` characters of the pieces in order and returns the
// index of the first piece that could not be written whole (`count` when all
// were).
uint32_t write_pieces(RowWriter* writer, Piece* pieces, uint32_t count, uint32_t most);
// Writes the pieces whole when they fit in `room` characters, else the first
// room - 1 characters and "…" in the style of the piece that was cut (nothing
// at all for room 0). Returns the characters used.
uint32_t fit_pieces(RowWriter* writer, Piece* pieces, uint32_t count, uint32_t room);
