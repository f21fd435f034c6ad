// The top bar's geometry: the view switch, the breadcrumb area, the search
// cluster and the menu button, the two edit boxes inside it, which
// breadcrumbs fit, and which part lies under an x position. Text widths are
// measured by the caller (in pixels, with the bar's UI font) and come in as
// numbers.
#pragma once

#include <cstdint>

#include "app/pixels.h"

// What lies under an x position of the bar.
namespace TopBarPart {
constexpr uint32_t Nothing = 0;
constexpr uint32_t Menu = 1;
constexpr uint32_t Tree = 2;
constexpr uint32_t Text = 3;
constexpr uint32_t CrumbArea = 4;  // outside any drawn breadcrumb
constexpr uint32_t MatchCase = 5;
constexpr uint32_t Regex = 6;
constexpr uint32_t Scope = 7;
constexpr uint32_t SearchBox = 8;
constexpr uint32_t Previous = 9;
constexpr uint32_t Next = 10;
constexpr uint32_t Crumb = 100;  // + i, i counted from the deepest (rightmost) drawn breadcrumb
}  // namespace TopBarPart

// Parts that change their look under the mouse.
bool top_bar_part_hovers(uint32_t part);

// The search cluster's ranges, left to right.
namespace SearchRange {
constexpr uint32_t MatchCase = 0;
constexpr uint32_t Regex = 1;
constexpr uint32_t Scope = 2;
constexpr uint32_t Box = 3;
constexpr uint32_t Counter = 4;
constexpr uint32_t Previous = 5;
constexpr uint32_t Next = 6;
constexpr uint32_t Count = 7;
}  // namespace SearchRange

struct TopBarInput {
    float width;
    int32_t height;
    float scale;
    uint8_t start_page;
    float tree_label;         // measured "Tree"
    float text_label;         // measured "Text"
    float long_cue;           // measured "Search keys and values"
    int32_t edit_font_height; // the edit boxes' font height; 0 when it cannot be measured
};

struct TopBarLayout {
    // The view switch: "Tree" is [left, middle), "Text" [middle, right).
    float switch_left;
    float switch_middle;
    float switch_right;
    XRange crumb_area;
    float menu_left;  // the menu button reaches to the right edge
    // Hidden parts have empty ranges: the toggles and the scope collapse onto
    // the box's left edge, the counter onto the previous button's left edge.
    XRange search[SearchRange::Count];
    uint8_t toggles_shown;  // the two toggles and the scope
    uint8_t counter_shown;
    uint8_t search_box_shown;  // not on the start page
    float box_width;
    PixelRect search_box;  // the search EDIT inside its frame
    const char* cue;       // "Search keys and values", or "Search" when that does not fit
    PixelRect goto_box;    // the go-to EDIT over the breadcrumb area
};

TopBarLayout top_bar_layout(const TopBarInput& input);

constexpr uint32_t CRUMBS_SHOWN_MAX = 48;

// The breadcrumbs drawn in the area: taken from the deepest backwards while
// they fit, the deepest always; "..." leads in when shallower ones are left
// out, and the leftmost crumb drawn is narrowed when even that overflows.
struct BreadcrumbFit {
    uint32_t count;  // crumbs drawn
    uint8_t lead_in;
    XRange lead_in_range;
    XRange crumbs[CRUMBS_SHOWN_MAX];    // deepest first
    uint32_t levels[CRUMBS_SHOWN_MAX];  // each one's breadcrumb level (0 = the root's)
};
// `widths` holds the measured width of each breadcrumb text, deepest first:
// min(level_count, CRUMBS_SHOWN_MAX) of them. `lead_in_text` is the measured
// width of "...".
BreadcrumbFit fit_breadcrumbs(XRange area, float scale, float lead_in_text, const float* widths, uint32_t level_count);
// The gap between two crumbs; each separating chevron is centred in it.
inline float crumb_gap(float scale) { return 18 * scale; }

// The part under x (TopBarPart). `crumbs` are the breadcrumbs drawn at the
// last paint, or nullptr when none are (go-to box shown, no document).
uint32_t top_bar_hit(const TopBarLayout& layout, const BreadcrumbFit* crumbs, float x);
