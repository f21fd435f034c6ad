#include "app/list_scroll.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t FULL = 0xFFFFFFFE;  // the most rows a document can have
constexpr int32_t ROW = 20;

// A window with room for 15 rows of 20 pixels (and a part row).
ListMetrics list_of(uint32_t rows, int32_t height = 15 * ROW + 7) { return {rows, height, ROW}; }

TEST(ListScroll, RowCountsFromNoneToTheMost) {
    struct Case {
        ListMetrics list;
        uint32_t visible, max_top, page;
    };
    const Case cases[] = {
        {list_of(0), 15, 0, 14},
        {list_of(3), 15, 0, 14},  // fewer rows than the window: never scrolls into blank space
        {list_of(15), 15, 0, 14},
        {list_of(16), 15, 1, 14},
        {list_of(50000000), 15, 49999985, 14},
        {list_of(FULL), 15, FULL - 15, 14},
        {{100, 30, ROW}, 1, 99, 1},  // one row fits: a page is still one row
        {{100, 0, ROW}, 0, 100, 1},
        {{100, -5, ROW}, 0, 100, 1},
        {{100, 300, 0}, 0, 100, 1},  // no row height: nothing is divided by it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.list.row_count << " rows, height " << c.list.client_height);
        EXPECT_EQ(visible_rows(c.list), c.visible);
        EXPECT_EQ(max_top_row(c.list), c.max_top);
        EXPECT_EQ(page_rows(c.list), c.page);
    }
}

TEST(ListScroll, WantedTopRowsAreClampedNotWrapped) {
    EXPECT_EQ(clamp_top_row(-1, list_of(1000)), 0u);
    EXPECT_EQ(clamp_top_row(-3000000000ll, list_of(1000)), 0u);
    EXPECT_EQ(clamp_top_row(5000, list_of(1000)), 985u);
    EXPECT_EQ(clamp_top_row(int64_t{FULL} + 10, list_of(FULL)), FULL - 15);
    EXPECT_EQ(clamp_top_row(7, list_of(3)), 0u);
}

TEST(ListScroll, EnsureRowVisibleScrollsByOneOrCentres) {
    struct Case {
        uint32_t rows, top, row;
        bool centre;
        uint32_t expected;
    };
    const Case cases[] = {
        {1000, 100, 100, false, 100},  // in view: nothing moves
        {1000, 100, 114, true, 100},
        {1000, 100, 99, false, 99},    // just above: becomes the top row
        {1000, 100, 115, false, 101},  // just below: becomes the bottom row
        {1000, 100, 500, false, 493},  // far away: centred
        {1000, 100, 500, true, 493},
        {1000, 100, 99, true, 92},     // centring even for the row just above
        {1000, 985, 0, false, 0},      // End, then Home: row 0 is on screen
        {1000, 985, 0, true, 0},
        {1000, 0, 999, true, 985},     // centring near the end stops at the last full window
        {3, 0, 2, true, 0},
        {FULL, 0, FULL - 1, false, FULL - 15},
        {FULL, FULL - 15, 3, true, 0},
        {FULL, 0, 0x80000000u, true, 0x80000000u - 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rows << " rows, top " << c.top << ", row " << c.row);
        EXPECT_EQ(ensure_row_visible(c.top, c.row, list_of(c.rows), c.centre), c.expected);
    }
    // With less than one row of height the window still counts as one row.
    EXPECT_EQ(ensure_row_visible(5, 6, {100, 10, ROW}, false), 6u);
}

TEST(ListScroll, RowUnderThePointer) {
    EXPECT_EQ(row_at_y(0, 10, list_of(100)), 10u);
    EXPECT_EQ(row_at_y(59, 10, list_of(100)), 12u);
    EXPECT_EQ(row_at_y(-1, 10, list_of(100)), NO_ROW);
    EXPECT_EQ(row_at_y(200, 90, list_of(100)), NO_ROW);  // below the last row
    EXPECT_EQ(row_at_y(40, 0, {100, 300, 0}), NO_ROW);
    EXPECT_EQ(row_at_y(300, FULL - 15, list_of(FULL)), NO_ROW);  // past 2^32 - 1 without wrapping
    EXPECT_EQ(row_at_y(280, FULL - 15, list_of(FULL)), FULL - 1);

    // Dragging above the window reaches one row up; below, the last row.
    EXPECT_EQ(drag_row_at_y(-500, 10, list_of(100)), 9u);
    EXPECT_EQ(drag_row_at_y(-1, 0, list_of(100)), 0u);
    EXPECT_EQ(drag_row_at_y(5000, 90, list_of(100)), 99u);
    EXPECT_EQ(drag_row_at_y(INT32_MAX, FULL - 15, list_of(FULL)), FULL - 1);
    EXPECT_EQ(drag_row_at_y(10, 0, list_of(0)), NO_ROW);
}

TEST(ListScroll, ScrollBarValuesAreCappedAtTheSignedLimit) {
    struct Case {
        ListMetrics list;
        uint32_t top;
        ScrollBarValues expected;
    };
    const Case cases[] = {
        {list_of(0), 0, {0, 15, 0}},
        {list_of(1), 0, {0, 15, 0}},
        {list_of(50000000), 49999985, {49999999, 15, 49999985}},
        {list_of(FULL), FULL - 15, {INT32_MAX, 15, INT32_MAX}},
        {{10, 300, 0}, 0, {9, 0, 0}},
    };
    for (const Case& c : cases) {
        ScrollBarValues bar = vertical_scroll_bar(c.top, c.list);
        EXPECT_EQ(bar.maximum, c.expected.maximum);
        EXPECT_EQ(bar.page, c.expected.page);
        EXPECT_EQ(bar.position, c.expected.position);
    }
}

TEST(ListScroll, ScrollBarRequestsStayWithinTheRows) {
    struct Case {
        ScrollAction action;
        uint32_t rows, top;
        int32_t thumb;
        uint32_t expected;
    };
    using A = ScrollAction;
    const Case cases[] = {
        {A::LineBack, 1000, 0, 0, 0},  {A::LineForward, 1000, 985, 0, 985}, {A::LineForward, 3, 0, 0, 0},
        {A::PageBack, 1000, 10, 0, 0}, {A::PageForward, 1000, 10, 0, 24},   {A::PageForward, 1000, 980, 0, 985},
        {A::Thumb, 1000, 5, 400, 400}, {A::Thumb, 1000, 5, -4, 0},          {A::Thumb, 1000, 5, 5000, 985},
        {A::Start, 1000, 500, 0, 0},   {A::End, 1000, 0, 0, 985},           {A::End, 0, 0, 0, 0},
        {A::End, FULL, 0, 0, FULL - 15}, {A::LineForward, FULL, FULL - 15, 0, FULL - 15},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "action " << int(c.action) << ", " << c.rows << " rows, top " << c.top);
        EXPECT_EQ(vertical_scroll_target(c.action, c.top, c.thumb, list_of(c.rows)), c.expected);
    }
}

TEST(ListScroll, WheelKeepsPartNotchesAndZoomsOneStep) {
    int32_t remainder = 0;
    // A smooth wheel: three deltas of 40 make one notch.
    EXPECT_EQ(take_wheel_notches(&remainder, 40).notches, 0);
    EXPECT_EQ(take_wheel_notches(&remainder, 40).notches, 0);
    WheelTurn turn = take_wheel_notches(&remainder, 50);
    EXPECT_EQ(turn.notches, 1);
    EXPECT_EQ(turn.zoom, 1);
    EXPECT_EQ(remainder, 10);
    // Turning back first uses up what was kept.
    turn = take_wheel_notches(&remainder, -120);
    EXPECT_EQ(turn.notches, 0);
    EXPECT_EQ(turn.zoom, 0);
    EXPECT_EQ(remainder, -110);
    // A fast wheel: several notches in one message still zoom one step.
    turn = take_wheel_notches(&remainder, -490);
    EXPECT_EQ(turn.notches, -5);
    EXPECT_EQ(turn.zoom, -1);
    EXPECT_EQ(remainder, 0);

    // Wheel up at the top stays at the top; three rows per notch.
    EXPECT_EQ(wheel_top_row(0, 1, list_of(1000)), 0u);
    EXPECT_EQ(wheel_top_row(10, 2, list_of(1000)), 4u);
    EXPECT_EQ(wheel_top_row(10, -2, list_of(1000)), 16u);
    EXPECT_EQ(wheel_top_row(0, -1, list_of(3)), 0u);
    EXPECT_EQ(wheel_top_row(FULL - 16, -INT32_MAX, list_of(FULL)), FULL - 15);
}

TEST(ListScroll, TextViewScrollsSidewaysWithinItsContent) {
    // 120 lines (3 digits of 8 pixels): gutter 44, content 44 + 4 + 500 + 16.
    HorizontalInput text{1, 120, 8.0f, 1.0f, 500.0f, 300};
    EXPECT_EQ(text_content_width(text), 564);
    HorizontalScroll bar = horizontal_scroll(text, 1000);
    EXPECT_EQ(bar.shown, 1);
    EXPECT_EQ(bar.offset, 264);
    EXPECT_EQ(bar.maximum, 563);
    EXPECT_EQ(bar.page, 300);
    EXPECT_EQ(horizontal_scroll(text, -8).offset, 0);
    EXPECT_EQ(horizontal_scroll(text, horizontal_scroll_target(ScrollAction::End, 0, 0, 8.0f, 300)).offset, 264);

    // Wide enough, or the tree view: no bar and no offset.
    HorizontalInput wide = text;
    wide.client_width = 564;
    EXPECT_EQ(horizontal_scroll(wide, 50).shown, 0);
    EXPECT_EQ(horizontal_scroll(wide, 50).offset, 0);
    HorizontalInput tree = text;
    tree.text_view = 0;
    EXPECT_EQ(horizontal_scroll(tree, 50).offset, 0);
    EXPECT_EQ(horizontal_scroll(tree, 50).maximum, 0);
    // A measurement gone wrong never makes a range past the signed limit.
    HorizontalInput huge = text;
    huge.widest_line = 1e30f;
    EXPECT_EQ(horizontal_scroll(huge, 0).maximum, INT32_MAX - 1);

    using A = ScrollAction;
    EXPECT_EQ(horizontal_scroll_target(A::LineBack, 100, 0, 7.6f, 300), 70);  // trunc(4 x 7.6)
    EXPECT_EQ(horizontal_scroll_target(A::LineForward, 100, 0, 7.6f, 300), 130);
    EXPECT_EQ(horizontal_scroll_target(A::PageBack, 100, 0, 7.6f, 301), -50);
    EXPECT_EQ(horizontal_scroll_target(A::Thumb, 100, 77, 7.6f, 300), 77);
    EXPECT_EQ(horizontal_wheel_offset(100, -2, 7.6f), 10);  // trunc(6 x 7.6) = 45 a notch
}

TEST(ListScroll, DeepRowsStopIndentingAndShowTheirDepth) {
    // 300 pixels at 96 DPI: (300 x 0.6 - 8) / 16 = 10.75, so 10 levels.
    RowGeometry shallow = row_geometry(3, 300, 1.0f, 8.0f);
    EXPECT_EQ(shallow.levels_shown, 3u);
    EXPECT_EQ(shallow.badge_x, -1);
    EXPECT_EQ(shallow.chevron_x, 56);
    EXPECT_EQ(shallow.text_x, 72);
    RowGeometry deep = row_geometry(50, 300, 1.0f, 8.0f);
    EXPECT_EQ(deep.levels_shown, 10u);
    EXPECT_EQ(deep.badge_x, 168);
    EXPECT_EQ(deep.chevron_x, 168 + 6 + 12);  // two digits of 8 pixels x 0.75
    EXPECT_EQ(deep.text_x, deep.chevron_x + 16);
    // The levels that fit stay within 4 and 40, whatever the width.
    EXPECT_EQ(row_geometry(50, 0, 1.0f, 8.0f).levels_shown, 4u);
    EXPECT_EQ(row_geometry(50, 100000, 1.0f, 8.0f).levels_shown, 40u);
    // At twice the DPI the same window width holds the same levels.
    RowGeometry doubled = row_geometry(50, 600, 2.0f, 16.0f);
    EXPECT_EQ(doubled.levels_shown, 10u);
    EXPECT_EQ(doubled.badge_x, 336);

    EXPECT_EQ(tree_character_budget(72, 300, 1.0f, 8.0f), 27u);  // (300 - 72 - 8) / 8
    EXPECT_EQ(tree_character_budget(400, 300, 1.0f, 8.0f), 1u);
    EXPECT_EQ(tree_character_budget(72, 300, 1.0f, 0.0f), 1u);
    EXPECT_EQ(gutter_width(9, 8.0f, 1.0f), 28);  // 9 lines: one digit
    EXPECT_EQ(gutter_width(10, 8.0f, 1.0f), 36);
}

TEST(ListScroll, KeyboardContextMenuGoesUnderTheSelectedRowWhenItShows) {
    const ListMetrics list = list_of(1000);
    PixelPoint corner = keyboard_menu_point(1.5f, 100, 90, list);  // selected row above the view
    EXPECT_EQ(corner.x, 36);
    EXPECT_EQ(corner.y, 12);
    EXPECT_EQ(keyboard_menu_point(1.0f, 100, 103, list).y, 80);
    EXPECT_EQ(keyboard_menu_point(1.0f, 100, 115, list).y, 320);  // the part row at the bottom
    EXPECT_EQ(keyboard_menu_point(1.0f, 100, 116, list).y, 8);    // below the view
    EXPECT_EQ(keyboard_menu_point(1.0f, 100, NO_ROW, list).y, 8);
    EXPECT_EQ(keyboard_menu_point(1.0f, 0, FULL - 1, list_of(FULL)).y, 8);
}

}  // namespace
