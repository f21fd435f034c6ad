// Finishing steps of a load, once parsing has stopped.
#pragma once

#include "core/parse_context.h"

// Records the line starts of every line feed from where parsing ended on.
void complete_line_starts(ParseContext* c);
// Trims the line starts to their count.
void shrink_line_starts(ParseContext* c);
// Gives back node slots that were never used: the tail of the last chunk in
// use, and chunks left over from rolled-back records. Nodes no longer move
// after loading, so the chunk may shrink in place or move.
void shrink_node_chunks(ParseContext* c);
// 1 when some line is longer than 10,000 bytes (line feed and a carriage
// return before it not counted).
uint8_t find_long_lines(const Document* doc);
void sort_large_counts(Document* doc);
// Builds the child index from the containers closed with 64 or more children;
// without memory for it, the Document simply has none.
void build_child_index(ParseContext* c);
