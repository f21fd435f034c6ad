// The list's scrolling arithmetic: which row is on top, what the scroll bars
// show, what the wheel and the scroll-bar arrows do, where a row's chevron and
// text go. Row numbers are u32 and a document may have nearly 2^32 rows, so
// every sum and difference is made in 64 bits and clamped, and a row height
// that is not positive never divides anything.
#pragma once

#include <cstdint>

#include "app/pixels.h"

constexpr uint32_t NO_ROW = 0xFFFFFFFF;
// Scroll bars take signed 32-bit values.
constexpr int32_t SCROLL_VALUE_MAX = INT32_MAX;

struct ListMetrics {
    uint32_t row_count;
    int32_t client_height;
    int32_t row_height;
};

// Whole rows that fit the client height; 0 when the height or the row height
// is not positive.
uint32_t visible_rows(const ListMetrics& list);
// The largest top row that still fills the window: row count less the
// visible rows, never below 0.
uint32_t max_top_row(const ListMetrics& list);
// What Page Up and Page Down move: visible rows (at least 2) less one; 1 when
// nothing fits.
uint32_t page_rows(const ListMetrics& list);
// A wanted top row, possibly negative or too large, within 0 ... max_top_row.
uint32_t clamp_top_row(int64_t wanted, const ListMetrics& list);
// The top row that brings `row` into view. Without centring a row just
// above or just below the window scrolls by one; any other row is centred.
uint32_t ensure_row_visible(uint32_t top_row, uint32_t row, const ListMetrics& list, bool centre);

// The row under a client y position, or NO_ROW.
uint32_t row_at_y(int32_t y, uint32_t top_row, const ListMetrics& list);
// The row a drag-selection reaches at y: above the window counts as the row
// before the top one; clamped to the rows there are. NO_ROW without rows.
uint32_t drag_row_at_y(int32_t y, uint32_t top_row, const ListMetrics& list);

// What to give a scroll bar (its minimum is always 0).
struct ScrollBarValues {
    int32_t maximum;
    int32_t page;
    int32_t position;
};
ScrollBarValues vertical_scroll_bar(uint32_t top_row, const ListMetrics& list);

// Scroll-bar requests, from the arrows, the track, the thumb and the ends.
enum class ScrollAction : uint8_t { LineBack, LineForward, PageBack, PageForward, Thumb, Start, End };
// The new top row for a vertical scroll-bar request; `thumb` is the tracking
// position (used by Thumb only).
uint32_t vertical_scroll_target(ScrollAction action, uint32_t top_row, int32_t thumb, const ListMetrics& list);

// Wheel deltas come in 1/120 notch units and are kept until they make a
// whole notch.
struct WheelTurn {
    int32_t notches;  // whole notches, positive away from the user
    int32_t zoom;     // Ctrl+wheel: +1 one step bigger, -1 smaller, 0 none; never more than one step
};
WheelTurn take_wheel_notches(int32_t* remainder, int32_t delta);
// Three rows per notch; a notch away from the user scrolls up.
uint32_t wheel_top_row(uint32_t top_row, int32_t notches, const ListMetrics& list);

// Decimal digits of n, 1 for n < 10: the line-number gutter's width in digits.
uint32_t decimal_digits(uint32_t n);
// The text view's line-number gutter: digits of the line count times the
// digit width, plus 20s.
float gutter_width(uint32_t line_count, float digit_width, float scale);

// The text view's horizontal scrolling. The tree view never scrolls
// sideways: pass text_view 0 and everything is 0.
struct HorizontalInput {
    uint8_t text_view;
    uint32_t line_count;
    float digit_width;
    float scale;
    float widest_line;  // widest line drawn so far
    int32_t client_width;
};
struct HorizontalScroll {
    uint8_t shown;   // the bar is needed
    int32_t offset;  // the scroll offset, clamped to 0 ... content width - client width
    int32_t maximum;
    int32_t page;
};
// Content width: gutter, 4s, the widest line and 16s, truncated.
int64_t text_content_width(const HorizontalInput& input);
// Brings a wanted offset within the content and gives the bar's values.
HorizontalScroll horizontal_scroll(const HorizontalInput& input, int64_t wanted_offset);
// The offset a horizontal scroll-bar request asks for (clamp it with
// horizontal_scroll): arrows move 4 digits, the track half the width, and
// the right end goes to 2^30 - 1. Left and Right keys move like the arrows.
int64_t horizontal_scroll_target(ScrollAction action, int32_t offset, int32_t thumb, float digit_width,
                                 int32_t client_width);
// The offset after whole wheel notches: 6 digits a notch (Shift+wheel
// passes -notches).
int64_t horizontal_wheel_offset(int32_t offset, int32_t notches, float digit_width);

// Where a tree row's parts go for a depth. The indentation takes at most
// about 60 % of the width (4 to 40 levels); deeper rows show their depth as a
// badge before the chevron.
struct RowGeometry {
    uint32_t levels_shown;
    float badge_x;  // -1 without a badge
    float chevron_x;  // the chevron's hit box is [chevron_x, chevron_x + 16s)
    float text_x;
};
RowGeometry row_geometry(uint32_t depth, int32_t client_width, float scale, float digit_width);
// How many characters a tree row may use from text_x to 8s before the right
// edge: at least 1.
uint32_t tree_character_budget(float text_x, int32_t client_width, float scale, float digit_width);

// Whether the list centres the selection after a key that navigate_key
// handled (ViewKey codes, KeyModifier bits): plain movement keys scroll by
// one row when they can; Alt with them, Space and Enter jump.
bool centre_after_view_key(uint32_t view_key, uint32_t modifiers);

// Where the context menu opens from the keyboard: under the selected row's
// bottom edge when that row is in view, otherwise near the top-left corner.
PixelPoint keyboard_menu_point(float scale, uint32_t top_row, uint32_t selected_row, const ListMetrics& list);
