#include "app/panel_layout.h"

#include <algorithm>

#include "core/document.h"

StartPageLayout start_page_layout(const StartPageInput& input) {
    StartPageLayout layout{};
    const float s = input.scale;
    const float width = input.width;
    const uint32_t recent = std::min(input.recent_count, START_RECENT_MAX);
    layout.recent_count = recent;
    layout.list_width = std::max(std::min(width - 48 * s, 560 * s), 120 * s);
    layout.list_left = (width - layout.list_width) / 2;
    const float recent_block = recent ? 40 * s + 22 * s + static_cast<float>(recent) * 28 * s : 0;
    // The heading, the buttons and the recent files sit 40 % down the free height.
    layout.heading_top = std::max(24 * s, (input.height - (14 * s + 30 * s + 26 * s + recent_block)) * 0.4f);
    const float buttons_top = layout.heading_top + 44 * s;
    const float open_width = input.open_label + 16 * s;
    const float clipboard_width = input.clipboard_label + 16 * s;
    const float buttons_left = (width - (open_width + 16 * s + clipboard_width)) / 2;
    layout.open_button = {buttons_left, buttons_top, buttons_left + open_width, buttons_top + 26 * s};
    const float clipboard_left = layout.open_button.right + 16 * s;
    layout.clipboard_button = {clipboard_left, buttons_top, clipboard_left + clipboard_width, buttons_top + 26 * s};
    layout.recent_heading_top = buttons_top + 66 * s;
    for (uint32_t i = 0; i < recent; i++) {
        float top = layout.recent_heading_top + 22 * s + static_cast<float>(i) * 28 * s;
        layout.recent_rows[i] = {layout.list_left - 8 * s, top, layout.list_left + layout.list_width + 8 * s,
                                 top + 28 * s};
    }
    return layout;
}

uint32_t start_page_hit(const StartPageLayout& layout, float x, float y) {
    if (in_float_rect(layout.open_button, x, y)) return StartItem::Open;
    if (in_float_rect(layout.clipboard_button, x, y)) return StartItem::OpenFromClipboard;
    for (uint32_t i = 0; i < layout.recent_count; i++) {
        if (in_float_rect(layout.recent_rows[i], x, y)) return StartItem::Recent + i;
    }
    return StartItem::Nothing;
}

XRange recent_folder_range(const StartPageLayout& layout, float name_width, float scale) {
    const float right = layout.list_left + layout.list_width;
    if (layout.list_width - name_width <= 14 * scale) return {right, right};
    return {layout.list_left + name_width + 12 * scale, right};
}

ProblemButton problem_bar_button(const Document* doc, bool file_gone) {
    if (file_gone) return ProblemButton::None;
    return is_records(doc) && problem_count(doc) > 0 ? ProblemButton::NextProblem : ProblemButton::ShowInText;
}

ProblemBarLayout problem_bar_layout(float width, float height, float scale, ProblemButton button, float label) {
    const float s = scale;
    ProblemBarLayout layout{};
    layout.close_left = width - 34 * s;
    layout.button = button;
    float text_right = layout.close_left;
    if (button != ProblemButton::None) {
        const float right = layout.close_left - 6 * s;
        const float top = (height - 22 * s) / 2;
        layout.button_rect = {right - (label + 20 * s), top, right, top + 22 * s};
        text_right = layout.button_rect.left - (button == ProblemButton::NextProblem ? 8 : 10) * s;
    }
    layout.text = {36 * s, text_right};
    layout.text_shown = text_right - 36 * s > 36 * s;
    return layout;
}

uint32_t problem_bar_hit(const ProblemBarLayout& layout, float x) {
    if (x >= layout.close_left) return ProblemBarPart::Close;
    if (layout.button == ProblemButton::None || !x_in_range({layout.button_rect.left, layout.button_rect.right}, x))
        return ProblemBarPart::Nothing;
    return layout.button == ProblemButton::NextProblem ? ProblemBarPart::NextProblem : ProblemBarPart::ShowInText;
}

float status_right_max_width(float width, float scale) { return std::max(width / 2 - 10 * scale, 0.0f); }

float status_left_width(float width, float scale, float right_width) {
    float left = width - 20 * scale;
    if (right_width > 0) left -= right_width + 16 * scale;
    return std::max(left, 0.0f);
}
