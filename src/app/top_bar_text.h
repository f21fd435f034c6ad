// Texts of the top bar that come from the window's state: breadcrumb labels
// and the search scope's label.
#pragma once

#include <cstdint>

struct ViewState;

// The longest breadcrumb label kept, in bytes; a longer one is cut there and
// ends in "…".
constexpr uint32_t CRUMB_TEXT_MAX = 256;
constexpr uint32_t CRUMB_LABEL_SIZE = CRUMB_TEXT_MAX + 4;

// The label of the breadcrumb at `level` (0 = the root's) of the selection,
// cut at a character boundary; its length in bytes.
uint32_t crumb_label(const ViewState* view, uint32_t level, char (&buffer)[CRUMB_LABEL_SIZE]);

// "All", "Keys" or "Values"; a scope outside 0-2 counts as "All".
const char* search_scope_label(int32_t scope);
