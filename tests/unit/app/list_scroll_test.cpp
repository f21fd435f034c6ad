#include "app/list_scroll.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t FULL = 0xFFFFFFFE;  // the most rows a document can have

// Room for 15 rows of 20 pixels and a part row.
ListMetrics list_of(uint32_t rows) { return {rows, 307, 20}; }

TEST(ListScroll, RowCountsFromNoneToTheMost) {
    struct Case {
        ListMetrics list;
        uint32_t max_top, page;
        int32_t bar_maximum;
    };
    const Case cases[] = {
        {list_of(0), 0, 14, 0},
        {list_of(3), 0, 14, 2},  // fewer rows than the window: no scrolling into blank space
        {list_of(50000000), 49999985, 14, 49999999},
        {list_of(FULL), FULL - 15, 14, INT32_MAX},  // scroll-bar values stop at the signed limit
        {{100, 30, 20}, 99, 1, 99},                 // one row fits: a page is still one row
        {{100, 300, 0}, 100, 1, 99},                // no row height: nothing is divided by it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.list.row_count << " rows");
        EXPECT_EQ(max_top_row(c.list), c.max_top);
        EXPECT_EQ(page_rows(c.list), c.page);
        ScrollBarValues bar = vertical_scroll_bar(max_top_row(c.list), c.list);
        EXPECT_EQ(bar.maximum, c.bar_maximum);
        EXPECT_EQ(bar.position, static_cast<int32_t>(std::min<uint32_t>(c.max_top, INT32_MAX)));
    }
}

TEST(ListScroll, MovesAreClampedNotWrapped) {
    struct Case {
        uint32_t rows, top, row;
        bool centre;
        uint32_t expected;
    };
    const Case cases[] = {
        {1000, 100, 114, false, 100},  // in view: nothing moves
        {1000, 100, 99, false, 99},    // just above: becomes the top row
        {1000, 100, 115, false, 101},  // just below: becomes the bottom row
        {1000, 100, 99, true, 92},     // centred
        {1000, 985, 0, false, 0},      // End, then Home: row 0 is on screen
        {1000, 0, 999, true, 985},
        {FULL, FULL - 15, 3, true, 0},
        {FULL, 0, FULL - 1, false, FULL - 15},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ensure_row_visible(c.top, c.row, list_of(c.rows), c.centre), c.expected)
            << c.rows << " rows, top " << c.top << ", row " << c.row;
    }
    EXPECT_EQ(wheel_top_row(0, 1, list_of(1000)), 0u);  // wheel up at the top stays there
    EXPECT_EQ(wheel_top_row(10, -2, list_of(1000)), 16u);
    EXPECT_EQ(wheel_top_row(0, -1, list_of(3)), 0u);
    EXPECT_EQ(wheel_top_row(FULL - 16, -INT32_MAX, list_of(FULL)), FULL - 15);
    EXPECT_EQ(vertical_scroll_target(ScrollAction::PageForward, 980, 0, list_of(1000)), 985u);
    EXPECT_EQ(vertical_scroll_target(ScrollAction::Thumb, 5, -4, list_of(1000)), 0u);
    EXPECT_EQ(vertical_scroll_target(ScrollAction::End, 0, 0, list_of(FULL)), FULL - 15);

    EXPECT_EQ(row_at_y(300, FULL - 15, list_of(FULL)), NO_ROW);  // past the last row, not wrapped to row 0
    EXPECT_EQ(row_at_y(40, 0, {100, 300, 0}), NO_ROW);
    EXPECT_EQ(drag_row_at_y(-500, 10, list_of(100)), 9u);  // above the window: one row up
    EXPECT_EQ(drag_row_at_y(INT32_MAX, FULL - 15, list_of(FULL)), FULL - 1);
}

TEST(ListScroll, WheelKeepsPartNotchesAndZoomsOneStep) {
    int32_t remainder = 0;
    EXPECT_EQ(take_wheel_notches(&remainder, 80).notches, 0);
    WheelTurn turn = take_wheel_notches(&remainder, 50);
    EXPECT_EQ(turn.notches, 1);
    EXPECT_EQ(remainder, 10);
    turn = take_wheel_notches(&remainder, -130);  // turning back uses up what was kept first
    EXPECT_EQ(turn.notches, -1);
    EXPECT_EQ(remainder, 0);
    turn = take_wheel_notches(&remainder, -600);  // a fast wheel zooms one step
    EXPECT_EQ(turn.notches, -5);
    EXPECT_EQ(turn.zoom, -1);
}

TEST(ListScroll, TextViewScrollsSidewaysWithinItsContent) {
    // 120 lines, digits 8 wide: content 3 x 8 + 20 + 4 + 500 + 16 = 564.
    HorizontalInput text{1, 120, 8.0f, 1.0f, 500.0f, 300};
    HorizontalScroll bar =
        horizontal_scroll(text, horizontal_scroll_target(ScrollAction::End, 0, 0, 8.0f, 300));
    EXPECT_EQ(bar.shown, 1);
    EXPECT_EQ(bar.offset, 264);
    EXPECT_EQ(bar.maximum, 563);
    EXPECT_EQ(horizontal_scroll(text, -8).offset, 0);
    EXPECT_EQ(horizontal_scroll_target(ScrollAction::LineBack, 100, 0, 7.6f, 300), 70);  // trunc(4 x 7.6)
    EXPECT_EQ(horizontal_wheel_offset(100, -2, 7.6f), 10);                               // trunc(6 x 7.6)

    HorizontalInput tree = text;
    tree.text_view = 0;
    EXPECT_EQ(horizontal_scroll(tree, 50).offset, 0);
    HorizontalInput huge = text;
    huge.widest_line = 1e30f;
    EXPECT_EQ(horizontal_scroll(huge, 0).maximum, INT32_MAX - 1);
}

TEST(ListScroll, DeepRowsStopIndentingAndShowTheirDepth) {
    // 300 pixels: (300 x 0.6 - 8) / 16 = 10.75, so 10 levels.
    RowGeometry deep = row_geometry(50, 300, 1.0f, 8.0f);
    EXPECT_EQ(deep.levels_shown, 10u);
    EXPECT_EQ(deep.badge_x, 168);
    EXPECT_EQ(deep.chevron_x, 168 + 6 + 12);  // two digits of 8 x 0.75
    EXPECT_EQ(row_geometry(3, 300, 1.0f, 8.0f).badge_x, -1);
    EXPECT_EQ(row_geometry(50, 0, 1.0f, 8.0f).levels_shown, 4u);
    EXPECT_EQ(row_geometry(50, 100000, 1.0f, 8.0f).levels_shown, 40u);
    EXPECT_EQ(tree_character_budget(400, 300, 1.0f, 8.0f), 1u);
    EXPECT_EQ(tree_character_budget(72, 300, 1.0f, 0.0f), 1u);

    // The keyboard's context menu: under the selected row only while it shows.
    EXPECT_EQ(keyboard_menu_point(1.0f, 100, 115, list_of(1000)).y, 320);
    EXPECT_EQ(keyboard_menu_point(1.0f, 100, 116, list_of(1000)).y, 8);
    EXPECT_EQ(keyboard_menu_point(1.5f, 100, 90, list_of(1000)).y, 12);
}

}  // namespace
