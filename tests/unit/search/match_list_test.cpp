// Reading the match list: lookups by NodeId and wrapping navigation, across
// the boundary between two blocks of matches.
#include <gtest/gtest.h>

#include <cstring>

#include "base/memory.h"
#include "load_text.h"
#include "search/match_list.h"
#include "search/matcher.h"

namespace {

// A compiled search whose run "found" the even NodeIds 2, 4, ... 2 * count,
// spread over as many blocks as that takes.
SearchState* with_even_matches(Document* doc, uint32_t count) {
    SearchState* state = compile_search(doc, reinterpret_cast<const uint8_t*>("x"), 1, nullptr, nullptr, 0);
    if (!state) return nullptr;
    for (uint32_t i = 0; i < count; i++) {
        NodeId*& block = state->match_blocks[i / MATCH_BLOCK_SIZE];
        if (!block) block = mem_alloc_array<NodeId>(MATCH_BLOCK_SIZE);
        block[i % MATCH_BLOCK_SIZE] = 2 * (i + 1);
    }
    state->match_count.store(count);
    return state;
}

TEST(MatchList, FindsMatchesAcrossBlocks) {
    std::string items = "[1";
    for (int i = 1; i < 150000; i++) items += ",1";
    DocumentPtr doc = load_text(items + "]");
    const uint32_t count = MATCH_BLOCK_SIZE + 10;
    SearchState* state = with_even_matches(doc.get(), count);
    ASSERT_TRUE(state);
    ASSERT_GE(state->block_count, 2u);
    const NodeId last = 2 * count;
    struct Case { NodeId id; uint32_t index_of; uint32_t next; uint32_t previous; };
    const Case cases[] = {
        {0, NO_MATCH, 0, count - 1},  // before every match: previous wraps to the last
        {2, 0, 1, count - 1},         // the first match
        {3, NO_MATCH, 1, 0},          // between matches
        {2 * MATCH_BLOCK_SIZE, MATCH_BLOCK_SIZE - 1, MATCH_BLOCK_SIZE, MATCH_BLOCK_SIZE - 2},
        {2 * MATCH_BLOCK_SIZE + 2, MATCH_BLOCK_SIZE, MATCH_BLOCK_SIZE + 1, MATCH_BLOCK_SIZE - 1},
        {last, count - 1, 0, count - 2},     // the last match: next wraps to the first
        {last + 1, NO_MATCH, 0, count - 1},  // after every match
        {NO_NODE, NO_MATCH, 0, count - 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(match_index_of(state, c.id), c.index_of);
        EXPECT_EQ(next_match_index(state, c.id, false), c.next);
        EXPECT_EQ(next_match_index(state, c.id, true), c.previous);
    }
    EXPECT_EQ(match_count(state), count);
    EXPECT_EQ(match_at(state, MATCH_BLOCK_SIZE), 2 * MATCH_BLOCK_SIZE + 2);
    EXPECT_EQ(match_at(state, count), NO_NODE);
    release_search(state);
}

}  // namespace
