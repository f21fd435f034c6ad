// One thread runs the search while another reads its match list, the way the
// user-interface thread does: every read must see a prefix of the final list.
// Built on its own under ThreadSanitizer as well (the tsan preset).
#include <gtest/gtest.h>

#include <thread>

#include "search_checks.h"

namespace {

// 160,000 strings, every other one "ab" (Nodes 1, 3, 5, ...): 80,000
// matches in two blocks.
DocumentPtr many_matches() {
    std::string text = "[";
    for (int i = 0; i < 160000; i++) text += i % 2 ? "\"cd\"," : "\"ab\",";
    text.back() = ']';
    return load_text(text);
}

// Reads the list over and over until the run has finished; fails on anything
// that is not a prefix of `expected`.
void read_while_running(const SearchState* state, const std::vector<NodeId>& expected) {
    uint32_t seen = 0;
    for (bool finished = false; !finished;) {
        finished = is_finished(state);
        uint32_t count = match_count(state);
        ASSERT_GE(count, seen);
        ASSERT_LE(count, expected.size());
        // The newest entries, where a missing publication would show first.
        for (uint32_t i = count > 4 ? count - 4 : 0; i < count; i++) ASSERT_EQ(match_at(state, i), expected[i]);
        if (count > 0) {  // a match keeps its index; the next one is new or wraps
            NodeId last = expected[count - 1];
            ASSERT_EQ(match_index_of(state, last), count - 1);
            uint32_t next = next_match_index(state, last, false);
            ASSERT_TRUE(next == 0 || next == count) << next;
        }
        seen = count;
    }
    EXPECT_EQ(match_count(state), expected.size());
}

TEST(SearchConcurrency, AReaderSeesAGrowingPrefixOfTheMatches) {
    DocumentPtr doc = many_matches();
    for (uint8_t regex : {0, 1}) {
        SearchOptions options{0, regex, 0, 0};
        std::vector<NodeId> expected = search_all(doc.get(), "ab", options);
        ASSERT_EQ(expected.size(), 80000u);
        StatePtr state = compile_query(doc.get(), "ab", options);
        uint32_t status = NO_NODE;
        std::thread worker([&] { status = run_search(state.get(), nullptr); });
        read_while_running(state.get(), expected);
        worker.join();
        EXPECT_EQ(status, SEARCH_FINISHED);
        EXPECT_EQ(match_list(state.get()), expected);
    }
}

}  // namespace
