// The view state in the tree view: selection and its history, keys, clicks,
// expansion commands, Next problem, breadcrumbs and paths, and painting.
#include <gtest/gtest.h>

#include <string>

#include "alloc_sweep.h"
#include "search/search_run.h"
#include "search/search_view.h"
#include "view_checks.h"

namespace {

// {"a":{"b":{"c":[1,2]},"d":[]},"e":"x"}
//  0    1    2    3   4 5   6       7
const char NESTED[] = R"({"a":{"b":{"c":[1,2]},"d":[]},"e":"x"})";
constexpr uint32_t INITIAL = 0xFFFFFFFF;

TEST(ViewState, EmptyDocumentAndMissingStateDoNothing) {
    DocumentPtr doc = load_text("  ");
    ViewPtr view = view_of(doc);
    ASSERT_TRUE(view);
    for (ViewState* v : {view.get(), static_cast<ViewState*>(nullptr)}) {
        EXPECT_EQ(navigate_key(v, ViewKey::Down, 0, 1) + type_ahead(v, 'a', 0) + set_view_mode(v, VIEW_MODE_TEXT), 0u);
        for (uint32_t command = ViewCommand::FindNext; command <= ViewCommand::NextProblem; command++)
            EXPECT_EQ(run_view_command(v, command), 0u) << command;
        EXPECT_EQ(breadcrumb_count(v), 0u);
        EXPECT_EQ(copy_selection_path(v, PathStyle::JsonPath, nullptr, 0), 0u);
        click_row(v, 0, true, 0);
        select_node(v, 0, true);
        EXPECT_EQ(selected_node(v), NO_NODE);
        EXPECT_EQ(visible_row_count(v), 0u);
    }
}

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
    // The same Node again: no entry, but a scroll request.
    select_node(v, 0, true);
    EXPECT_EQ(back_text(v), "");
    EXPECT_EQ(take_scroll_request(v), 0u);
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
    const uint32_t shift = KeyModifier::Shift, alt = KeyModifier::Alt, ctrl = KeyModifier::Ctrl;
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
        {"Shift+Down moves like Down", INITIAL, 1, Down, shift, 1, 1, 2, "0-3 6 7", 3},
        {"Page Down with no page rows moves one row", INITIAL, 0, PageDown, 0, 0, 1, 1, "0-3 6 7", 3},
        {"Page Up moves a page", INITIAL, 7, PageUp, 0, 2, 1, 3, "0-3 6 7", 3},
        {"Page Up stops at the first row", INITIAL, 2, PageUp, 0, 5, 1, 0, "0-3 6 7", 3},
        {"Escape is not a view key", INITIAL, 3, 266, 0, 1, 0, 3, "0-3 6 7", 3},
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

// Plain and Alt clicks on collapsed chevrons are in the end-to-end cases.
TEST(ViewState, ClicksSelectRowsAndToggleChevrons) {
    DocumentPtr doc = load_text(NESTED);
    ViewPtr view = view_of(doc);
    ViewState* v = view.get();
    struct Click { uint32_t row; bool chevron; uint32_t modifiers; NodeId selected; const char* rows; };
    const Click clicks[] = {
        {1, true, KeyModifier::Alt, 1, "0 1 7"},  // Alt on an expanded chevron collapses the subtree
        {1, true, 0, 1, "0-2 6 7"},               // the inner bits were cleared
        {4, true, 0, 7, "0-2 6 7"},               // a scalar's chevron area only selects
        {5, false, 0, 7, "0-2 6 7"},              // beyond the rows: ignored
    };
    for (const Click& c : clicks) {
        SCOPED_TRACE(c.row);
        v->user_moved = 0;
        click_row(v, c.row, c.chevron, c.modifiers);
        EXPECT_EQ(selected_node(v), c.selected);
        EXPECT_EQ(rows_text(v), c.rows);
        EXPECT_EQ(v->user_moved, c.row < 5 ? 1 : 0);
    }
    double_click_row(v, 2);
    EXPECT_EQ(selected_node(v), 2u);
    EXPECT_EQ(rows_text(v), "0-3 6 7");
    double_click_row(v, 5);  // "e", a scalar
    EXPECT_EQ(selected_node(v), 7u);
    EXPECT_EQ(rows_text(v), "0-3 6 7");
    EXPECT_EQ(back_text(v), "");
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
        {'A', 5000, 1, 2},    // "Avocado", case ignored
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
    for (uint32_t refused : {31u, 127u, 0x110000u}) EXPECT_EQ(type_ahead(v, refused, 14001), 0u);
    EXPECT_EQ(v->typed_count, 1u);
    // A 65th character is dropped but the search still runs.
    for (uint32_t i = 0; i < 70; i++) type_ahead(v, 'q', 20000 + i);
    EXPECT_EQ(v->typed_count, TYPE_AHEAD_SIZE);
    EXPECT_EQ(navigate_key(v, ViewKey::Home, 0, 1), 1u);
    EXPECT_EQ(v->typed_count, 0u);
}

TEST(ViewState, NextProblemWithOneErrorOrNone) {
    // Wrapping from the last Error Node is in the end-to-end JSON Lines case.
    DocumentPtr one = load_json_lines("1\nx\n2");
    ViewPtr single = view_of(one);
    select_node(single.get(), 2, false);
    EXPECT_EQ(run_view_command(single.get(), ViewCommand::NextProblem), 1u);
    EXPECT_EQ(selected_node(single.get()), 2u);
    DocumentPtr none = load_text("{\"a\":[1]}");
    EXPECT_EQ(run_view_command(view_of(none).get(), ViewCommand::NextProblem), 0u);
}

TEST(ViewState, BreadcrumbsAndGoToPath) {
    DocumentPtr doc = load_text(NESTED);
    ViewPtr view = view_of(doc, false);
    ViewState* v = view.get();
    select_node(v, 4, false);
    ASSERT_EQ(breadcrumb_count(v), 5u);
    char text[64];
    EXPECT_EQ(breadcrumb_text(v, 3, text, sizeof text), 1u);
    EXPECT_STREQ(text, "c");
    EXPECT_EQ(breadcrumb_text(v, 5, text, sizeof text), 0u);
    select_breadcrumb(v, 9);
    EXPECT_EQ(go_to_path(v, nullptr, 0, text, sizeof text), 0u);
    EXPECT_EQ(go_to_path(v, "", 0, text, sizeof text), 1u);  // the empty path is the root
    EXPECT_EQ(back_text(v), "0 4");
    EXPECT_EQ(selected_node(v), 0u);
}

// Stepping and wrapping are in the end-to-end search; here, the history they
// record and the selected match painted as the current one.
TEST(ViewState, FindNextRecordsHistoryAndPaintsTheCurrentMatch) {
    DocumentPtr doc = load_text(R"({"ab":"abc","b":1,"c":"x"})");
    ViewPtr view = view_of(doc);
    ViewState* v = view.get();
    EXPECT_EQ(run_view_command(v, ViewCommand::FindNext), 0u);
    attach_search(v, search_of(doc.get(), "b"));
    ASSERT_EQ(run_search(v->search, nullptr), SEARCH_FINISHED);
    EXPECT_EQ(run_view_command(v, ViewCommand::FindNext), 1u);
    EXPECT_EQ(run_view_command(v, ViewCommand::FindPrevious), 1u);
    EXPECT_EQ(selected_node(v), 2u);
    EXPECT_EQ(back_text(v), "0 1");
    RowPaint paint = row_paint();
    for (const auto& [row, marks] : {std::pair{1u, "11"}, {2u, "2"}, {3u, ""}}) {
        paint_row(v, row, 80, &paint);
        EXPECT_EQ(run_marks(paint), marks) << row;
    }
    paint_row(v, 4, 80, &paint);
    EXPECT_EQ(paint.node, NO_NODE);
    release_row_paint(&paint);
}

}  // namespace
