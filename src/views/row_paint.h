// The styled text of one tree row or text-view line: UTF-8 text cut into runs,
// each with a style and a search mark, plus what the list control needs to
// draw indentation and the chevron. One RowPaint is reused for every row, so
// painting allocates nothing once its buffers have grown.
#pragma once

#include <cstdint>

#include "core/document.h"

enum class RunStyle : uint8_t {
    Plain = 0,        // root label, separators after labels, gaps
    Key = 1,          // object keys
    Index = 2,        // array index and record line labels
    String = 3,       // string values with their quotes
    Number = 4,       // numbers
    Boolean = 5,      // true, false
    Null = 6,         // null
    Punctuation = 7,  // ": ", "{}", "[]"
    Summary = 8,      // child counts of containers
    Preview = 9,      // inline preview of a collapsed container, source text of a broken value
    Comment = 10,     // text view: comments, stray characters, the long-line note
    Warning = 11,     // "⚠ " marks, problem messages, "(cut short)"
};
constexpr uint32_t RUN_STYLE_COUNT = 12;

struct TextRun {
    uint32_t start;   // byte offset into the RowPaint's text
    uint32_t length;  // bytes
    RunStyle style;
    uint8_t mark;  // 0 none, 1 a search match, 2 the current search match
};

struct RowPaint {
    uint8_t* text;  // always zero-terminated; a shared empty text until the first append
    uint32_t length;
    uint32_t capacity;  // 0 while `text` is the shared empty text
    TextRun* runs;
    uint32_t run_count;
    uint32_t run_capacity;
    NodeId node;  // NO_NODE when the row does not exist
    uint32_t depth;
    uint32_t line_number;  // 0 for tree rows; the text view's 1-based line number
    uint8_t chevron;       // 0 none, 1 collapsed container, 2 expanded container
    uint8_t closing_line;  // text view only
};

// An empty RowPaint that owns nothing yet.
RowPaint row_paint();
void release_row_paint(RowPaint* paint);
// No text, no runs, node NO_NODE, the other header fields 0; keeps the buffers.
void reset_row_paint(RowPaint* paint);

// Appends text in a style, extending the last run when it has the same style
// and no mark. False when memory runs out, with the RowPaint as it was.
[[nodiscard]] bool append_run(RowPaint* paint, const uint8_t* bytes, uint32_t length, RunStyle style);
// Marks the bytes [start, start + length): splits the runs at both ends, sets
// the mark inside, merges neighbours that end up alike. False when memory
// runs out, with the RowPaint as it was.
[[nodiscard]] bool mark_range(RowPaint* paint, uint32_t start, uint32_t length, uint8_t mark);
// Room for `size` bytes after the text's terminating zero, in the RowPaint's
// own buffer, for work on a row that must not allocate per row; valid until
// the next append. nullptr when memory runs out.
[[nodiscard]] uint8_t* row_paint_spare(RowPaint* paint, uint32_t size);

// Reads a key or string one decoded character at a time. Escapes are
// resolved when `escapes` is set; invalid UTF-8 gives U+FFFD for one byte.
struct CharDecoder {
    const uint8_t* next;
    const uint8_t* end;
    bool escapes;
};
CharDecoder char_decoder(const uint8_t* bytes, uint32_t length, bool escapes);
// The next character's UTF-8 bytes (1 to 4) into out; 0 at the end. Escapes
// that stand for nothing (a backslash before a line break) are passed over.
uint32_t next_char(CharDecoder* decoder, uint8_t out[4]);
