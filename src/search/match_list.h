// Reading a search run's match list: the NodeIds that matched, ascending,
// while the run may still be appending to it on another thread.
//
// The count is the publication point: the run stores a NodeId, then the count
// with release ordering. Each call here loads the count once with acquire
// ordering and reads only entries below it, fetching the block pointer afresh
// for every probe.
#pragma once

#include <cstdint>

#include "core/document.h"

struct SearchState;

constexpr uint32_t NO_MATCH = 0xFFFFFFFF;

// Matches found so far (0 without a state).
uint32_t match_count(const SearchState* state);
// The run has visited every Node, or stopped at the limit. A finished run's
// count, read after this, is final.
bool is_finished(const SearchState* state);
// The run stopped at the state's limit, so there may be more matches.
bool limit_reached(const SearchState* state);
// The NodeId of match `index`, or NO_NODE.
NodeId match_at(const SearchState* state, uint32_t index);
// The index of the match that is `id`, or NO_MATCH.
uint32_t match_index_of(const SearchState* state, NodeId id);
// Forwards: the first match after `id`, wrapping to the first match.
// Backwards: the last match before `id`, wrapping to the last. NO_MATCH when
// there are no matches.
uint32_t next_match_index(const SearchState* state, NodeId id, bool backwards);
