// The search on a ViewState: the counter's forms, and when the selection
// follows the run.
#include <gtest/gtest.h>

#include "../search/search_checks.h"
#include "view_checks.h"
#include "views/search_view.h"

namespace {

std::string counter(const ViewState* view) {
    char text[64];
    search_counter_text(view, text, sizeof text);
    return text;
}

// "N of M", "1 match" and "No matches" are in the end-to-end search.
TEST(SearchView, CounterTexts) {
    DocumentPtr doc = load_text(R"(["a","b","a","a","a","a"])");  // "a": Nodes 1, 3, 4, 5 and 6
    ViewPtr view = view_of(doc);
    ViewState* v = view.get();
    EXPECT_EQ(counter(v), "");
    attach_search(v, compile_query(doc.get(), "a").release());
    EXPECT_EQ(counter(v), "0 so far");
    const struct { uint32_t limit; NodeId selected; const char* text; } cases[] = {
        {0, 2, "5 matches"}, {3, 3, "2 of 3+"}, {3, 5, "3+ matches"}, {6, 6, "5 of 5"},
    };
    for (const auto& c : cases) {
        attach_search(v, compile_query(doc.get(), "a", plain_options(0, SearchScope::All, c.limit)).release());
        ASSERT_EQ(run_search(v->search, nullptr), SEARCH_FINISHED);
        select_node(v, c.selected, true);
        EXPECT_EQ(counter(v), c.text) << c.limit << " " << c.selected;
    }
    char small[5];
    EXPECT_EQ(search_counter_text(v, small, sizeof small), 6u);  // "5 of 5", cut
    EXPECT_STREQ(small, "5 of");
    select_node(v, 2, true);  // a move after the run is kept
    follow_search(v);
    EXPECT_EQ(selected_node(v), 2u);
    attach_search(v, nullptr);
    EXPECT_EQ(counter(v), "");
}

// The first progress point comes at Node 1,000,000, with only Node 6 found:
// the selection must not wrap back to it before the run has ended.
TEST(SearchView, FollowingWaitsWhileTheRunHasNothingAfterTheAnchor) {
    DocumentPtr doc = load_text(numbers(1100000, {5, 1099000}));
    struct Case { NodeId anchor, midway, at_end; };
    for (const Case& c : {Case{3, 6, 6}, Case{500, 500, 1099001}, Case{1099500, 1099500, 6}}) {
        ViewPtr view = view_of(doc);
        select_node(view.get(), c.anchor, false);
        attach_search(view.get(), compile_query(doc.get(), "7").release());
        struct Midway { ViewState* view; NodeId selected; std::string counter_text; } midway{view.get(), NO_NODE, ""};
        ProgressContext progress{[](void* argument, uint64_t, uint64_t) {
                                     Midway* m = static_cast<Midway*>(argument);
                                     if (m->selected != NO_NODE) return;
                                     follow_search(m->view);
                                     m->selected = selected_node(m->view);
                                     m->counter_text = counter(m->view);
                                 }, &midway, nullptr};
        ASSERT_EQ(run_search(view->search, &progress), SEARCH_FINISHED);
        EXPECT_EQ(midway.selected, c.midway) << c.anchor;
        EXPECT_EQ(midway.counter_text, "1 so far");
        follow_search(view.get());
        EXPECT_EQ(selected_node(view.get()), c.at_end) << c.anchor;
        EXPECT_EQ(counter(view.get()), c.at_end == 6 ? "1 of 2" : "2 of 2");
    }
}

}  // namespace
