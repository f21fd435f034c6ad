#include "app/list_scroll.h"

#include <algorithm>
#include <cmath>

#include "views/view_state.h"

namespace {

// trunc(x) of a measured length as a whole number of pixels; 0 for a length
// that is not a finite number.
int64_t truncated_pixels(double x) {
    if (!std::isfinite(x)) return 0;
    return static_cast<int64_t>(std::clamp(x, static_cast<double>(INT32_MIN), static_cast<double>(INT32_MAX)));
}

int32_t capped_scroll_value(uint64_t value) {
    return static_cast<int32_t>(std::min<uint64_t>(value, SCROLL_VALUE_MAX));
}

}  // namespace

uint32_t visible_rows(const ListMetrics& list) {
    if (list.client_height <= 0 || list.row_height <= 0) return 0;
    return static_cast<uint32_t>(list.client_height / list.row_height);
}

uint32_t max_top_row(const ListMetrics& list) {
    uint32_t visible = visible_rows(list);
    return list.row_count > visible ? list.row_count - visible : 0;
}

uint32_t page_rows(const ListMetrics& list) {
    if (list.client_height <= 0 || list.row_height <= 0) return 1;
    return std::max<uint32_t>(visible_rows(list), 2) - 1;
}

uint32_t clamp_top_row(int64_t wanted, const ListMetrics& list) {
    if (wanted <= 0) return 0;
    return static_cast<uint32_t>(std::min<int64_t>(wanted, max_top_row(list)));
}

uint32_t ensure_row_visible(uint32_t top_row, uint32_t row, const ListMetrics& list, bool centre) {
    const int64_t visible = std::max<uint32_t>(visible_rows(list), 1);
    const int64_t top = top_row;
    const int64_t target = row;
    if (target >= top && target < top + visible) return top_row;
    int64_t wanted = target - visible / 2;
    if (!centre && target + 1 == top) wanted = target;
    else if (!centre && target == top + visible) wanted = target - visible + 1;
    return clamp_top_row(wanted, list);
}

uint32_t row_at_y(int32_t y, uint32_t top_row, const ListMetrics& list) {
    if (y < 0 || list.row_height <= 0) return NO_ROW;
    uint64_t row = static_cast<uint64_t>(y / list.row_height) + top_row;
    return row < list.row_count ? static_cast<uint32_t>(row) : NO_ROW;
}

uint32_t drag_row_at_y(int32_t y, uint32_t top_row, const ListMetrics& list) {
    if (list.row_count == 0) return NO_ROW;
    int64_t rows_down = y < 0 ? -1 : (list.row_height > 0 ? y / list.row_height : 0);
    int64_t row = std::clamp<int64_t>(top_row + rows_down, 0, list.row_count - 1);
    return static_cast<uint32_t>(row);
}

ScrollBarValues vertical_scroll_bar(uint32_t top_row, const ListMetrics& list) {
    ScrollBarValues bar;
    bar.maximum = list.row_count ? capped_scroll_value(list.row_count - 1) : 0;
    bar.page = capped_scroll_value(visible_rows(list));
    bar.position = capped_scroll_value(top_row);
    return bar;
}

uint32_t vertical_scroll_target(ScrollAction action, uint32_t top_row, int32_t thumb, const ListMetrics& list) {
    const int64_t top = top_row;
    const int64_t page = page_rows(list);
    switch (action) {
    case ScrollAction::LineBack: return clamp_top_row(top - 1, list);
    case ScrollAction::LineForward: return clamp_top_row(top + 1, list);
    case ScrollAction::PageBack: return clamp_top_row(top - page, list);
    case ScrollAction::PageForward: return clamp_top_row(top + page, list);
    case ScrollAction::Thumb: return clamp_top_row(thumb, list);
    case ScrollAction::Start: return 0;
    case ScrollAction::End: return max_top_row(list);
    }
    return top_row;
}

WheelTurn take_wheel_notches(int32_t* remainder, int32_t delta) {
    const int64_t total = int64_t{*remainder} + delta;
    WheelTurn turn{};
    turn.notches = clamp_to_i32(total / 120);
    *remainder = clamp_to_i32(turn.notches == 0 ? total : total % 120);
    turn.zoom = turn.notches > 0 ? 1 : (turn.notches < 0 ? -1 : 0);
    return turn;
}

uint32_t wheel_top_row(uint32_t top_row, int32_t notches, const ListMetrics& list) {
    return clamp_top_row(int64_t{top_row} - 3 * int64_t{notches}, list);
}

uint32_t decimal_digits(uint32_t n) {
    uint32_t digits = 1;
    for (; n >= 10; n /= 10) digits++;
    return digits;
}

float gutter_width(uint32_t line_count, float digit_width, float scale) {
    return static_cast<float>(decimal_digits(line_count)) * digit_width + 20 * scale;
}

int64_t text_content_width(const HorizontalInput& input) {
    const float s = input.scale;
    double width = static_cast<double>(gutter_width(input.line_count, input.digit_width, s)) + 4.0 * s +
                   input.widest_line + 16.0 * s;
    return std::max<int64_t>(truncated_pixels(width), 0);
}

HorizontalScroll horizontal_scroll(const HorizontalInput& input, int64_t wanted_offset) {
    HorizontalScroll bar{};
    if (!input.text_view) return bar;
    const int64_t content = text_content_width(input);
    if (input.client_width >= content) return bar;
    bar.shown = 1;
    bar.offset = clamp_to_i32(std::clamp<int64_t>(wanted_offset, 0, content - input.client_width));
    bar.maximum = clamp_to_i32(content - 1);
    bar.page = std::max(input.client_width, 0);
    return bar;
}

int64_t horizontal_scroll_target(ScrollAction action, int32_t offset, int32_t thumb, float digit_width,
                                 int32_t client_width) {
    const int64_t line = truncated_pixels(4.0 * digit_width);
    const int64_t page = client_width / 2;
    switch (action) {
    case ScrollAction::LineBack: return int64_t{offset} - line;
    case ScrollAction::LineForward: return int64_t{offset} + line;
    case ScrollAction::PageBack: return int64_t{offset} - page;
    case ScrollAction::PageForward: return int64_t{offset} + page;
    case ScrollAction::Thumb: return thumb;
    case ScrollAction::Start: return 0;
    case ScrollAction::End: return 0x3FFFFFFF;
    }
    return offset;
}

int64_t horizontal_wheel_offset(int32_t offset, int32_t notches, float digit_width) {
    return int64_t{offset} + truncated_pixels(6.0 * digit_width) * notches;
}

RowGeometry row_geometry(uint32_t depth, int32_t client_width, float scale, float digit_width) {
    const double s = scale > 0 ? scale : 1.0;
    const double fitting = std::floor((client_width / s * 0.6 - 8) * 0.0625);
    const uint32_t levels = static_cast<uint32_t>(std::clamp(fitting, 4.0, 40.0));
    RowGeometry geometry;
    geometry.levels_shown = std::min(depth, levels);
    double chevron = 16 * s * geometry.levels_shown + 8 * s;
    geometry.badge_x = -1;
    if (depth > levels) {
        geometry.badge_x = static_cast<float>(chevron);
        chevron += 6 * s + std::ceil(decimal_digits(depth) * static_cast<double>(digit_width) * 0.75);
    }
    geometry.chevron_x = static_cast<float>(chevron);
    geometry.text_x = static_cast<float>(chevron + 16 * s);
    return geometry;
}

uint32_t tree_character_budget(float text_x, int32_t client_width, float scale, float digit_width) {
    if (!(digit_width > 0)) return 1;
    double budget = (client_width - static_cast<double>(text_x) - 8.0 * scale) / digit_width;
    if (!(budget >= 1)) return 1;
    // 0xFFFFFFFF would mean no limit at all.
    return static_cast<uint32_t>(std::min(budget, static_cast<double>(NO_ROW - 1)));
}

bool centre_after_view_key(uint32_t view_key, uint32_t modifiers) {
    bool movement = view_key >= ViewKey::Up && view_key <= ViewKey::End;
    return !movement || (modifiers & KeyModifier::Alt) != 0;
}

PixelPoint keyboard_menu_point(float scale, uint32_t top_row, uint32_t selected_row, const ListMetrics& list) {
    PixelPoint point{static_cast<int32_t>(24 * scale + 0.5f), static_cast<int32_t>(8 * scale + 0.5f)};
    if (selected_row == NO_ROW || selected_row < top_row || list.row_height <= 0) return point;
    const int64_t below = int64_t{selected_row} - top_row;
    if (below * list.row_height >= list.client_height) return point;
    point.y = clamp_to_i32((below + 1) * list.row_height);
    return point;
}
