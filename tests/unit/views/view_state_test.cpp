// The view state in the tree view: selection and its history, keys and
// type-ahead.
#include <gtest/gtest.h>

#include <string>

#include "alloc_sweep.h"
#include "view_checks.h"

namespace {

// {"a":{"b":{"c":[1,2]},"d":[]},"e":"x"}
//  0    1    2    3   4 5   6       7
const char NESTED[] = R"({"a":{"b":{"c":[1,2]},"d":[]},"e":"x"})";
constexpr uint32_t INITIAL = 0xFFFFFFFF;

TEST(ViewState, CreateSurvivesEveryAllocationFailure) {
    DocumentPtr doc = load_text(NESTED);
    sweep_allocation_failures([&](uint64_t) {
        ViewState* view = create_view_state(doc.get(), true);
        if (view) EXPECT_EQ(node_at_row(view->row_model, selected_row(view)), 0u);
        release_view_state(view);
    });
    EXPECT_EQ(doc->reference_count.load(), 1u);
}

TEST(ViewState, SelectionHistory) {
    std::string items = "[0";
    for (int i = 1; i < 100; i++) items += ",0";
    DocumentPtr doc = load_text(items + "]");
    ViewPtr view = view_of(doc);
    ViewState* v = view.get();
    // 65 moves push 65 entries; the oldest, the root, is gone.
    v->user_moved = 0;
    for (NodeId id = 1; id <= 65; id++) select_node(v, id, false);
    EXPECT_EQ(back_text(v), "1-64");
    EXPECT_EQ(v->user_moved, 0);
    run_view_command(v, ViewCommand::Back);
    run_view_command(v, ViewCommand::Back);
    EXPECT_EQ(forward_text(v), "65 64");
    EXPECT_EQ(run_view_command(v, ViewCommand::Forward), 1u);
    EXPECT_EQ(back_text(v), "1-63");
    EXPECT_EQ(v->user_moved, 1);
    // A new selection after Back empties Forward; one beyond the Document is ignored.
    select_node(v, 80, true);
    EXPECT_EQ(forward_text(v), "");
    select_node(v, 101, true);
    EXPECT_EQ(selected_node(v), 80u);
}

// Plain arrows, Space, Return and Alt+Left are in the end-to-end navigation.
TEST(ViewState, TreeKeys) {
    using namespace ViewKey;
    const uint32_t alt = KeyModifier::Alt, ctrl = KeyModifier::Ctrl;
    struct KeyCase {
        const char* name;
        uint32_t levels, start, key, modifiers, page_rows, handled, selected;
        const char* rows;
        uint32_t expanded;
    };
    const KeyCase cases[] = {
        {"Left at the collapsed root does nothing", 0, 0, Left, 0, 1, 1, 0, "0", 0},
        {"Alt+Right expands the whole subtree", 1, 1, Right, alt, 1, 1, 1, "0-7", 4},
        {"Ctrl+Right belongs to the accelerators", 1, 1, Right, ctrl, 1, 0, 1, "0 1 7", 1},
        {"Page Down with no page rows moves one row", INITIAL, 0, PageDown, 0, 0, 1, 1, "0-3 6 7", 3},
        {"Page Up stops at the first row", INITIAL, 2, PageUp, 0, 5, 1, 0, "0-3 6 7", 3},
    };
    DocumentPtr doc = load_text(NESTED);
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        ViewPtr view = view_of(doc, c.levels == INITIAL);
        ViewState* v = view.get();
        if (c.levels != INITIAL) expand_to_level(v->row_model, c.levels);
        ASSERT_NE(row_of_node(v->row_model, c.start), NO_LINE);
        v->selected = c.start;
        v->typed_count = 3;
        EXPECT_EQ(navigate_key(v, c.key, c.modifiers, c.page_rows), c.handled);
        EXPECT_EQ(selected_node(v), c.selected);
        EXPECT_EQ(rows_text(v), c.rows);
        EXPECT_EQ(expanded_count(v->row_model), c.expanded);
        EXPECT_EQ(back_text(v), "");  // keys never record history
        EXPECT_EQ(v->user_moved, c.handled);
        EXPECT_EQ(v->typed_count, c.handled ? 0u : 3u);
        EXPECT_EQ(take_scroll_request(v), c.handled ? row_of_node(v->row_model, c.selected) : NO_LINE);
    }
}

// A prefix within a second and a new one after a pause are in the end-to-end
// navigation.
TEST(ViewState, TypeAhead) {
    // 0 root, 1 apple, 2 Avocado, 3 banana, 4 abc, 5 list, 6-7 its items, 8 Émile
    DocumentPtr doc = load_text("{\"apple\":1,\"Avocado\":2,\"banana\":3,\"abc\":4,\"list\":[0,1],\"\xC3\x89mile\":5}");
    ViewPtr view = view_of(doc);
    ViewState* v = view.get();
    struct Typed { uint32_t code_point; uint64_t now; uint32_t found; NodeId selected; };
    const Typed typed[] = {
        {'a', 1000, 1, 1},
        {'b', 1500, 1, 4},    // "ab", searched from apple itself
        {'a', 3000, 1, 1},    // after a pause "a" again, from the row after abc, wrapping
        {0xC9, 14000, 1, 8},  // É finds é
        {'l', 15000, 1, 5},   // letters never find key-less items
        {'x', 14000, 0, 5},   // the clock went back: a new buffer, "x", finding nothing
    };
    for (const Typed& t : typed) {
        SCOPED_TRACE(t.now);
        EXPECT_EQ(type_ahead(v, t.code_point, t.now), t.found);
        EXPECT_EQ(selected_node(v), t.selected);
    }
    EXPECT_EQ(back_text(v), "");
    // A 65th character is dropped but the search still runs.
    for (uint32_t i = 0; i < 70; i++) type_ahead(v, 'q', 20000 + i);
    EXPECT_EQ(v->typed_count, TYPE_AHEAD_SIZE);
    EXPECT_EQ(navigate_key(v, ViewKey::Home, 0, 1), 1u);
    EXPECT_EQ(v->typed_count, 0u);
}

}  // namespace
