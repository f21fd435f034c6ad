// The text of one tree row: its label (key, array index, record line or
// root), then its value, or for a container its child count, "(cut short)"
// when it was never closed, and for a collapsed one an inline preview of its
// children; all fitted into a budget of character cells, with "…" where text
// was cut, and with the row's search matches marked.
#pragma once

#include <cstdint>

#include "search/matcher.h"
#include "views/row_model.h"
#include "views/row_paint.h"

// Resets `paint` and fills it for row `row` of the model (left empty for a row
// beyond the model). With `search`, the matches in the shown key and value
// are marked: 2 when the row's Node is `current_match`, else 1.
void build_tree_row(const RowModel* model, uint32_t row, uint32_t budget, const SearchState* search,
                    NodeId current_match, RowPaint* paint);
// The same for a caller that knows the row Node's depth already: one that
// paints many rows in order keeps it with depth_after, in linear time.
void build_tree_row_at_depth(const RowModel* model, uint32_t row, uint32_t node_depth, uint32_t budget,
                             const SearchState* search, NodeId current_match, RowPaint* paint);
