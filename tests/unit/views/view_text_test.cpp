// The view state in the text view: the caret and anchor lines, lines without
// Nodes, and dropping the text view. Switching back and forth, Shift+click and
// a plain key after it are in the end-to-end text view case.
#include <gtest/gtest.h>

#include <string>

#include "view_checks.h"

namespace {

// Pretty lines: 0 "{" (0), 1 "a": [ (1), 2 1, (2), 3 2 (3), 4 ], (1),
// 5 "b": {} (4), 6 } (0).
const char SMALL[] = R"({"a":[1,2],"b":{}})";

struct Lines { uint32_t caret; uint32_t anchor; NodeId selected; };

void expect_lines(const ViewState* view, Lines expected) {
    EXPECT_EQ(selected_row(view), expected.caret);
    EXPECT_EQ(anchor_line(view), expected.anchor);
    EXPECT_EQ(selected_node(view), expected.selected);
}

TEST(ViewText, ShiftExtendsTheRangeAndAPlainMoveCollapsesIt) {
    DocumentPtr doc = load_text(SMALL);
    ViewPtr view = view_of(doc);
    ViewState* v = view.get();
    give_text_view(v, TEXT_PRETTY);
    ASSERT_EQ(set_view_mode(v, VIEW_MODE_TEXT), 1u);
    expect_lines(v, {0, 0, 0});
    const uint32_t shift = KeyModifier::Shift;
    struct Move { uint32_t key; uint32_t modifiers; uint32_t handled; Lines lines; };
    const Move moves[] = {
        {ViewKey::Down, shift, 1, {1, 0, 1}}, {ViewKey::PageDown, shift, 1, {4, 0, 1}},
        {ViewKey::End, 0, 1, {6, 6, 0}}, {ViewKey::PageUp, 0, 1, {3, 3, 3}},
        {ViewKey::Home, shift, 1, {0, 3, 0}}, {ViewKey::Down, KeyModifier::Ctrl, 0, {0, 3, 0}},
        {ViewKey::Right, 0, 0, {0, 3, 0}}, {ViewKey::Space, 0, 0, {0, 3, 0}},
    };
    for (const Move& m : moves) {
        SCOPED_TRACE(m.key);
        EXPECT_EQ(navigate_key(v, m.key, m.modifiers, 3), m.handled);
        expect_lines(v, m.lines);
    }
    // Lines 0-3 are selected: a right click on any of them keeps the range.
    EXPECT_TRUE(row_is_selected(v, 2));
    EXPECT_TRUE(row_is_selected(v, 3));
    EXPECT_FALSE(row_is_selected(v, 4));
    click_row(v, 7, false, 0);  // beyond the lines
    expect_lines(v, {0, 3, 0});
    // Lines are painted whole, not cut at the row budget.
    RowPaint paint = row_paint();
    paint_row(v, 1, 3, &paint);
    EXPECT_EQ(paint.line_number, 2u);
    EXPECT_EQ(printed_paint(paint), "  \"a\": [");
    release_row_paint(&paint);
    // Expansion and type-ahead belong to the tree.
    EXPECT_EQ(run_view_command(v, ViewCommand::ExpandAll), 0u);
    EXPECT_EQ(type_ahead(v, 'a', 0), 0u);
    // Dropping the text while it shows goes back to the tree.
    set_text_view(v, nullptr);
    EXPECT_EQ(view_mode(v), VIEW_MODE_TREE);
    EXPECT_EQ(set_view_mode(v, VIEW_MODE_TEXT), 0u);
}

TEST(ViewText, LinesWithoutNodes) {
    // Source lines: 0 "// c" (no Node), 1 {"a": 1, (1), 2 "// note" (0), 3 "b": 2 (2).
    DocumentPtr doc = load_text("// c\n{\"a\": 1,\n// note\n\"b\": 2\n}\n");
    ViewPtr view = view_of(doc);
    ViewState* v = view.get();
    give_text_view(v, TEXT_SOURCE);
    select_node(v, 2, true);
    ASSERT_EQ(set_view_mode(v, VIEW_MODE_TEXT), 1u);
    expect_lines(v, {3, 3, 2});
    EXPECT_EQ(navigate_key(v, ViewKey::Home, 0, 1), 1u);
    expect_lines(v, {0, 0, 2});  // no Node on the line: the selection stays
    EXPECT_EQ(set_view_mode(v, VIEW_MODE_TREE), 1u);
    EXPECT_EQ(selected_node(v), 2u);
}

}  // namespace
