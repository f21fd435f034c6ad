#include "app/top_bar_layout.h"

#include <algorithm>
#include <cmath>

namespace {

// Widths of the search cluster at 96 DPI.
constexpr float TOGGLE = 28, GAP = 4, SCOPE = 66, BOX_MARGIN = 8, COUNTER = 112, ARROW = 24;
constexpr float BREADCRUMB_RESERVE = 160;
constexpr float BOX_MIN = 60, BOX_MAX = 240;
// Room needed after the switch for the toggles and scope, and for the counter.
constexpr float ROOM_FOR_TOGGLES = 432, ROOM_FOR_COUNTER = 294;
constexpr float TOGGLES_WIDTH = TOGGLE + GAP + TOGGLE + GAP + SCOPE + BOX_MARGIN;                   // 138
constexpr float AFTER_BOX_WITH_COUNTER = BOX_MARGIN + COUNTER + GAP + ARROW + 2 + ARROW;          // 174
constexpr float AFTER_BOX_WITHOUT_COUNTER = BOX_MARGIN + ARROW + 2 + ARROW;                      // 58
constexpr float CRUMB_MAX = 260;

XRange range_ending(float right, float width) { return {right - width, right}; }

int32_t rounded(float x) { return clamp_to_i32(static_cast<int64_t>(std::floor(x + 0.5f))); }

// An EDIT of the given height, vertically centred in the bar.
PixelRect centred_edit(float left, int32_t width, int32_t height, int32_t bar_height) {
    return {rounded(left), (bar_height - height) / 2, width, height};
}

void lay_out_search(TopBarLayout* layout, float cluster_right, float crumb_start, float s) {
    const float room = cluster_right - crumb_start - BREADCRUMB_RESERVE * s;
    layout->toggles_shown = room >= ROOM_FOR_TOGGLES * s;
    layout->counter_shown = layout->toggles_shown || room >= ROOM_FOR_COUNTER * s;
    const float after_box = (layout->counter_shown ? AFTER_BOX_WITH_COUNTER : AFTER_BOX_WITHOUT_COUNTER) * s;
    const float box = room - (layout->toggles_shown ? TOGGLES_WIDTH * s : 0) - after_box;
    layout->box_width = std::clamp(box, BOX_MIN * s, BOX_MAX * s);

    XRange* r = layout->search;
    r[SearchRange::Next] = range_ending(cluster_right, ARROW * s);
    r[SearchRange::Previous] = range_ending(cluster_right - 26 * s, ARROW * s);
    const float previous_left = r[SearchRange::Previous].left;
    r[SearchRange::Counter] = layout->counter_shown ? range_ending(previous_left - GAP * s, COUNTER * s)
                                                    : XRange{previous_left, previous_left};
    r[SearchRange::Box] = range_ending(r[SearchRange::Counter].left - BOX_MARGIN * s, layout->box_width);
    const float box_left = r[SearchRange::Box].left;
    if (layout->toggles_shown) {
        r[SearchRange::Scope] = range_ending(box_left - BOX_MARGIN * s, SCOPE * s);
        r[SearchRange::Regex] = range_ending(r[SearchRange::Scope].left - GAP * s, TOGGLE * s);
        r[SearchRange::MatchCase] = range_ending(r[SearchRange::Regex].left - GAP * s, TOGGLE * s);
    } else {
        r[SearchRange::Scope] = r[SearchRange::Regex] = r[SearchRange::MatchCase] = {box_left, box_left};
    }
}

}  // namespace

bool top_bar_part_hovers(uint32_t part) {
    using namespace TopBarPart;
    return part == Menu || part == MatchCase || part == Regex || part == Scope || part == Previous || part == Next ||
           part >= Crumb;
}

TopBarLayout top_bar_layout(const TopBarInput& input) {
    TopBarLayout layout{};
    const float s = input.scale;
    const float width = std::max(input.width, 0.0f);
    layout.menu_left = width - 40 * s;
    float crumb_start = 10 * s;
    if (!input.start_page) {
        layout.switch_left = 10 * s;
        layout.switch_middle = layout.switch_left + input.tree_label + 24 * s;
        layout.switch_right = layout.switch_middle + input.text_label + 24 * s;
        crumb_start = layout.switch_right + 14 * s;
    }
    layout.crumb_area = {crumb_start, crumb_start};
    const int32_t edit_height =
        input.edit_font_height > 0 ? input.edit_font_height + scaled_pixels(2, s) : scaled_pixels(18, s);
    layout.cue = "Search";
    if (input.start_page) return layout;

    lay_out_search(&layout, width - 46 * s, crumb_start, s);
    const float cluster_left = layout.search[SearchRange::MatchCase].left;
    layout.crumb_area.right = std::max(crumb_start, cluster_left - 8 * s);

    layout.search_box_shown = 1;
    const float box_left = layout.search[SearchRange::Box].left;
    const int32_t box_width = std::max(20, rounded(layout.box_width) - scaled_pixels(14, s));
    layout.search_box = centred_edit(box_left + scaled_pixels(8, s), box_width, edit_height, input.height);
    if (input.long_cue + 4 * s <= layout.box_width) layout.cue = "Search keys and values";

    const XRange area = layout.crumb_area;
    const int32_t goto_width = std::max(40, rounded(area.right - area.left) - scaled_pixels(16, s));
    layout.goto_box = centred_edit(area.left + scaled_pixels(8, s), goto_width, edit_height, input.height);
    return layout;
}

BreadcrumbFit fit_breadcrumbs(XRange area, float scale, float lead_in_text, const float* widths, uint32_t level_count) {
    BreadcrumbFit fit{};
    const uint32_t available = std::min(level_count, CRUMBS_SHOWN_MAX);
    if (available == 0) return fit;
    const float gap = crumb_gap(scale);
    const float lead = lead_in_text + 2 * scale;
    const float room = area.right - area.left;
    auto crumb_width = [&](uint32_t i) {
        float w = widths[i];
        return w > 0 ? std::min(w, CRUMB_MAX * scale) : 0.0f;  // also NaN
    };
    float total = crumb_width(0);
    uint32_t taken = 1;
    while (taken < available) {
        float with_next = total + crumb_width(taken);
        float needed = with_next + gap * static_cast<float>(taken + 1) + (taken + 1 < level_count ? lead : 0);
        if (needed > room) break;
        total = with_next;
        taken++;
    }
    fit.count = taken;
    fit.lead_in = taken < level_count;
    float x = area.left;
    if (fit.lead_in) {
        fit.lead_in_range = {x, x + lead};
        x += lead + gap;
    }
    const float extent = x - area.left + total + gap * static_cast<float>(taken - 1);
    const float excess = std::max(extent - room, 0.0f);
    for (uint32_t i = taken; i-- > 0;) {
        float w = crumb_width(i);
        if (i == taken - 1) w = std::max(w - excess, 0.0f);
        fit.crumbs[i] = {x, x + w};
        fit.levels[i] = level_count - 1 - i;
        x += w + gap;
    }
    return fit;
}

uint32_t top_bar_hit(const TopBarLayout& layout, const BreadcrumbFit* crumbs, float x) {
    if (x >= layout.menu_left) return TopBarPart::Menu;
    if (!layout.search_box_shown) return TopBarPart::Nothing;  // the start page
    if (x_in_range({layout.switch_left, layout.switch_middle}, x)) return TopBarPart::Tree;
    if (x_in_range({layout.switch_middle, layout.switch_right}, x)) return TopBarPart::Text;
    for (uint32_t i = 0; crumbs && i < crumbs->count; i++) {
        if (x_in_range(crumbs->crumbs[i], x)) return TopBarPart::Crumb + i;
    }
    if (x_in_range(layout.crumb_area, x)) return TopBarPart::CrumbArea;
    static const uint32_t PARTS[SearchRange::Count] = {
        TopBarPart::MatchCase, TopBarPart::Regex, TopBarPart::Scope,   TopBarPart::SearchBox,
        TopBarPart::Nothing,   TopBarPart::Previous, TopBarPart::Next};
    for (uint32_t i = 0; i < SearchRange::Count; i++) {
        if (x_in_range(layout.search[i], x)) return PARTS[i];
    }
    return TopBarPart::Nothing;
}
