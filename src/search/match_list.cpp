#include "search/match_list.h"

#include "search/matcher.h"

namespace {

NodeId entry(const SearchState* state, uint32_t index) {
    return state->match_blocks[index / MATCH_BLOCK_SIZE][index % MATCH_BLOCK_SIZE];
}

// The number of matches below `id` among the first `count`.
uint32_t matches_below(const SearchState* state, uint32_t count, NodeId id) {
    uint32_t low = 0, high = count;
    while (low < high) {
        uint32_t mid = low + (high - low) / 2;
        if (entry(state, mid) < id) low = mid + 1;
        else high = mid;
    }
    return low;
}

}  // namespace

uint32_t match_count(const SearchState* state) {
    return state ? state->match_count.load(std::memory_order_acquire) : 0;
}

bool is_finished(const SearchState* state) { return state && state->finished.load(std::memory_order_acquire) != 0; }

bool limit_reached(const SearchState* state) {
    return state && state->limit_reached.load(std::memory_order_acquire) != 0;
}

NodeId match_at(const SearchState* state, uint32_t index) {
    return index < match_count(state) ? entry(state, index) : NO_NODE;
}

uint32_t match_index_of(const SearchState* state, NodeId id) {
    uint32_t count = match_count(state);
    uint32_t index = matches_below(state, count, id);
    return index < count && entry(state, index) == id ? index : NO_MATCH;
}

uint32_t next_match_index(const SearchState* state, NodeId id, bool backwards) {
    uint32_t count = match_count(state);
    if (count == 0) return NO_MATCH;
    if (backwards) {
        uint32_t below = matches_below(state, count, id);
        return below > 0 ? below - 1 : count - 1;
    }
    uint32_t above = id == NO_NODE ? count : matches_below(state, count, id + 1);
    return above < count ? above : 0;
}
