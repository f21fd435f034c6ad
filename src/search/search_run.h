// Running a compiled search over every Node of its Document, on a worker
// thread, while another thread reads the match list (match_list.h).
//
// Nodes are visited in document order in batches that end at every millionth
// Node, at the end of each node chunk, and at the first Node past the next
// 16 MiB of text; between batches the run reports progress (value offset of
// text length) and checks the cancel flag. Regex mode checks it at every Node
// as well, since one field can take long.
#pragma once

#include <cstdint>

#include "base/progress.h"
#include "search/matcher.h"

constexpr uint32_t SEARCH_FINISHED = 0;       // also: still running
constexpr uint32_t SEARCH_CANCELLED = 1;
constexpr uint32_t SEARCH_OUT_OF_MEMORY = 2;  // the matches found so far stay

// Visits every Node once and appends the matches. A state runs once: a second
// call answers the status of the first. Reaching the state's limit finishes
// the run early with limit_reached set. An absent state is finished at once.
[[nodiscard]] uint32_t run_search(SearchState* state, const ProgressContext* progress);
