// The search attached to a ViewState: handing it over, letting the selection
// follow the first match while the run goes on, and the match counter shown
// beside the search box. All run on the user-interface thread, while a worker
// may still be appending to the match list.
#pragma once

#include <cstdint>

#include "core/document.h"

struct SearchState;
struct ViewState;

// The ViewState takes ownership of `state` (none detaches the search),
// releasing the one it held unless it is the same. The current selection
// becomes the search anchor (0 without one). The search may move the selection
// again, except in a ViewState restored by a reload: a re-run search must not
// undo the restored selection. Without a ViewState the state is released.
void attach_search(ViewState* view, SearchState* state);

// After progress or completion of the run: selects the first match at or after
// the anchor, unless the user has moved since the search was attached. While
// the run goes on and no match lies at or after the anchor yet, it waits; once
// finished it falls back to the document's first match.
void follow_search(ViewState* view);

// The counter text (snprintf contract): empty without a search, "12 so far"
// while running (or after running out of memory), "No matches", "3 of 5" when
// the selection is a match, "5 matches" or "1 match" when it is not; a "+"
// follows the count when the limit was reached.
uint64_t search_counter_text(const ViewState* view, void* buffer, uint64_t size);
// The same for a state and the selected node (NO_NODE for none).
uint64_t format_search_counter(const SearchState* state, NodeId selected, void* buffer, uint64_t size);
