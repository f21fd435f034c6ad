// The text view: a Document shown as lines of text, in one of two kinds.
//
//   source (mode 1)  the Document's own lines, coloured by token. Costs one bit
//                    per line: `comment_lines` records which lines begin inside
//                    a block comment, so any line can be painted on its own.
//   pretty (mode 0)  a re-indented layout with one value per line, built from
//                    the node table. Costs one u32 per line:
//                      bits 0-30  the NodeId shown on the line
//                      bit 31     the line is that container's closing bracket
//                    Lines follow the sort key 2 * id for a Node's own line and
//                    2 * subtree_end - 1 for a container's closing line, so a
//                    closing line comes right after its last descendant's line
//                    and nested closings that end together come innermost first.
//                    A records Document (JSON Lines, several values) leaves its
//                    root out: the records are the top level.
//
// Nothing of the text is copied: lines are painted on demand into a RowPaint,
// each within a character budget. A TextView is immutable once built; it is
// built on a worker thread and then only read.
#pragma once

#include <cstdint>

#include "base/progress.h"
#include "core/document.h"
#include "search/matcher.h"
#include "views/row_paint.h"

constexpr uint32_t TEXT_PRETTY = 0;
constexpr uint32_t TEXT_SOURCE = 1;
// Bit 31 of a pretty line entry.
constexpr uint32_t CLOSING_LINE = 0x80000000u;
// The character budget the text view paints its lines with.
constexpr uint32_t TEXT_LINE_BUDGET = 2000;

enum TextViewOutcome : uint32_t {
    TEXT_VIEW_DONE = 0,
    TEXT_VIEW_CANCELLED = 1,
    // Out of memory, more than 0xFFFFFFFE lines, or (pretty) a NodeId that
    // does not fit in 31 bits.
    TEXT_VIEW_OUT_OF_MEMORY = 2,
};

struct TextView {
    Document* document;  // retained; absent only for a view of no Document
    uint32_t mode;       // TEXT_SOURCE or TEXT_PRETTY
    uint8_t records;     // a JSON Lines or several-values Document
    uint32_t line_count;
    uint32_t* lines;          // pretty only
    uint64_t* comment_lines;  // source only, absent when no line begins inside a block comment
    // Source only: where the comment scan stopped, the text length or the
    // offset of the first problem without a Node (where reading stopped).
    uint32_t comment_scan_end;
};

// The kind the Document window opens first: source text, unless the Document
// has a line longer than 10,000 bytes.
uint32_t preferred_text_mode(const Document* doc);

// Builds the text view of `doc` (mode TEXT_SOURCE, anything else is pretty),
// reporting progress as (done, total) with total the node count (source) or
// twice it (pretty), at least 1: (0, total) at the start, at every NodeId that
// is a multiple of 2^20, and (total, total) at the end. The cancel flag is read
// before each report. Returns the view, or nullptr with *outcome 1 (cancelled)
// or 2 (TEXT_VIEW_OUT_OF_MEMORY); a Document without lines gives a view of 0
// lines.
[[nodiscard]] TextView* build_text_view(Document* doc, uint32_t mode, const ProgressContext* progress,
                                        uint32_t* outcome);
void release_text_view(TextView* view);

// Queries; an absent view has no lines.
uint32_t text_view_mode(const TextView* view);
uint32_t text_line_count(const TextView* view);
// The line that shows the Node (its opening line for a container), or NO_NODE.
// The root of a records Document answers line 0 in pretty text.
uint32_t line_of_node(const TextView* view, NodeId id);
// The Node shown on, or enclosing, a line; NO_NODE when there is none (a line
// beyond the text, a comment before the first value).
NodeId node_of_line(const TextView* view, uint32_t line);

// Resets `paint` and fills it with line `line` (0-based): line_number is
// line + 1, node is node_of_line, closing_line is set on a pretty closing
// line. At most `budget` characters are shown; when more would follow, the
// last one shown is "…". With `search`, the matches in the line's keys and
// values are marked: 2 on tokens of `current_match`, else 1. A line beyond the
// text leaves the RowPaint empty with node NO_NODE.
void build_text_line(const TextView* view, uint32_t line, uint32_t budget, const SearchState* search,
                     NodeId current_match, RowPaint* paint);

// The plain text of lines first to last (either order; clamped to the last
// line; nothing when first is beyond the text), joined by line feeds, without
// colours or visible control symbols; bytes that are not UTF-8 become U+FFFD.
// snprintf contract: stores at most size - 1 bytes and a zero byte (never
// splitting a character) and returns the full length. Without a buffer it only
// measures. The length is 64-bit: every line of a large Document of bad bytes
// triples in size.
uint64_t text_of_lines(const TextView* view, uint32_t first, uint32_t last, void* buffer, uint64_t size);
