// Painting the top bar: the view switch, the breadcrumbs or the go-to box's
// frame, the search cluster, the menu button and the progress line.
#include <cmath>

#include "app/app.h"
#include "app/doc_window.h"
#include "app/status_text.h"
#include "app/top_bar_text.h"
#include "base/memory.h"
#include "files/settings.h"
#include "shell/doc_frame.h"
#include "shell/top_bar.h"
#include "views/palette.h"
#include "views/search_view.h"
#include "views/view_state.h"

namespace {

constexpr uint32_t COUNTER_SIZE = 96;

struct BarPaint {
    ShellWindow* shell;
    RenderSlot* slot;
    const TopBarLayout& layout;
    float s;
    float width;
    float height;
    uint32_t hover;
};

float centre_y(const BarPaint& bar) { return bar.height / 2; }

// A rounded box `tall` high, vertically centred, over [left, right).
void centred_box(const BarPaint& bar, float left, float right, float tall, float radius, uint32_t colour,
                 bool filled) {
    const float top = std::floor((bar.height - tall) / 2);
    round_rect(bar.slot, left, top, right, top + tall, radius, colour, filled);
}

void text_in(const BarPaint& bar, const char* text, float left, float width, uint32_t colour, uint32_t alignment,
             bool trimmed) {
    draw_utf8_box(bar.slot, bar.shell->fonts.ui, trimmed ? bar.shell->fonts.ellipsis : nullptr, text, left, 0, width,
                  bar.height, colour, alignment);
}

void paint_view_switch(const BarPaint& bar) {
    const TopBarLayout& layout = bar.layout;
    const DocWindow* doc = bar.shell->doc;
    const bool text_view = doc->view && view_mode(doc->view) == VIEW_MODE_TEXT;
    const float radius = 5 * bar.s, tall = 24 * bar.s;
    centred_box(bar, layout.switch_left, layout.switch_right, tall, radius, Colour::Border, false);
    if (text_view) centred_box(bar, layout.switch_middle, layout.switch_right, tall, radius, Colour::Border, true);
    else centred_box(bar, layout.switch_left, layout.switch_middle, tall, radius, Colour::Border, true);
    text_in(bar, "Tree", layout.switch_left, layout.switch_middle - layout.switch_left,
            text_view ? Colour::SecondaryText : Colour::Text, Align::Centre, false);
    text_in(bar, "Text", layout.switch_middle, layout.switch_right - layout.switch_middle,
            text_view ? Colour::Text : Colour::SecondaryText, Align::Centre, false);
}

void crumb_chevron(const BarPaint& bar, float after) {
    chevron(bar.slot, after + crumb_gap(bar.s) / 2, centre_y(bar), 3 * bar.s, Chevron::Right, Colour::FaintText,
            1.2f * bar.s);
}

// Labels of the deepest crumbs first, and their widths.
void measure_crumbs(const BarPaint& bar, const ViewState* view, uint32_t levels, char (*labels)[CRUMB_LABEL_SIZE],
                    float* widths, uint32_t taken) {
    for (uint32_t i = 0; i < taken; i++) {
        crumb_label(view, levels - 1 - i, labels[i]);
        widths[i] = measure_utf8(bar.shell->fonts.ui, labels[i]);
    }
}

void paint_breadcrumbs(const BarPaint& bar) {
    TopBar& top = bar.shell->top;
    const ViewState* view = bar.shell->doc->view;
    const uint32_t levels = breadcrumb_count(view);
    const uint32_t taken = levels < CRUMBS_SHOWN_MAX ? levels : CRUMBS_SHOWN_MAX;
    if (!taken) return;
    auto* labels = mem_alloc_array<char[CRUMB_LABEL_SIZE]>(taken);
    if (!labels) return;
    float widths[CRUMBS_SHOWN_MAX];
    measure_crumbs(bar, view, levels, labels, widths, taken);
    const float lead_in = measure_utf8(bar.shell->fonts.ui, "...");
    top.crumbs = fit_breadcrumbs(bar.layout.crumb_area, bar.s, lead_in, widths, levels);
    const BreadcrumbFit& fit = top.crumbs;
    if (fit.lead_in) {
        const XRange r = fit.lead_in_range;
        text_in(bar, "...", r.left, r.right - r.left, Colour::SecondaryText, Align::Left, false);
        crumb_chevron(bar, r.right);
    }
    for (uint32_t i = fit.count; i-- > 0;) {
        const XRange r = fit.crumbs[i];
        const bool bright = i == 0 || bar.hover == TopBarPart::Crumb + i;
        text_in(bar, labels[i], r.left, r.right - r.left, bright ? Colour::Text : Colour::SecondaryText, Align::Left,
                true);
        if (i > 0) crumb_chevron(bar, r.right);
    }
    mem_free(labels);
}

void paint_goto_frame(const BarPaint& bar) {
    const PixelRect box = bar.layout.goto_box;
    const float left = static_cast<float>(box.x) - 6 * bar.s;
    const float right = static_cast<float>(box.x + box.width) + 6 * bar.s;
    centred_box(bar, left, right, 26 * bar.s, 4 * bar.s, Colour::ViewBackground, true);
    centred_box(bar, left, right, 26 * bar.s, 4 * bar.s, Colour::Border, false);
}

void paint_toggle(const BarPaint& bar, XRange range, const char* label, bool on, bool hovered) {
    const float radius = 5 * bar.s, tall = 24 * bar.s;
    if (on || hovered)
        centred_box(bar, range.left, range.right, tall, radius, on ? Colour::Selection : Colour::Border, true);
    text_in(bar, label, range.left, range.right - range.left, on || hovered ? Colour::Text : Colour::SecondaryText,
            Align::Centre, false);
}

void paint_scope(const BarPaint& bar, XRange range, bool hovered) {
    const float s = bar.s;
    if (hovered) centred_box(bar, range.left, range.right, 24 * s, 5 * s, Colour::Border, true);
    const uint32_t colour = hovered ? Colour::Text : Colour::SecondaryText;
    const char* label = search_scope_label(bar.shell->doc->app->settings.search_scope);
    text_in(bar, label, range.left + 8 * s, range.right - range.left - 22 * s, colour, Align::Left, false);
    chevron(bar.slot, range.right - 11 * s, centre_y(bar), 3 * s, Chevron::Down, colour, 1.3f * s);
}

void paint_arrow(const BarPaint& bar, XRange range, uint32_t direction, bool searching, bool hovered) {
    const float s = bar.s;
    uint32_t colour = searching ? Colour::SecondaryText : Colour::FaintText;
    if (searching && hovered) {
        centred_box(bar, range.left, range.right, 24 * s, 5 * s, Colour::Border, true);
        colour = Colour::Text;
    }
    chevron(bar.slot, (range.left + range.right) / 2, centre_y(bar), 3.5f * s, direction, colour, 1.4f * s);
}

void paint_search_cluster(const BarPaint& bar) {
    const DocWindow* doc = bar.shell->doc;
    const TopBarLayout& layout = bar.layout;
    const Settings& settings = doc->app->settings;
    const XRange* r = layout.search;
    if (layout.toggles_shown) {
        paint_toggle(bar, r[SearchRange::MatchCase], "Aa", settings.search_case, bar.hover == TopBarPart::MatchCase);
        paint_toggle(bar, r[SearchRange::Regex], ".*", settings.search_regex, bar.hover == TopBarPart::Regex);
        paint_scope(bar, r[SearchRange::Scope], bar.hover == TopBarPart::Scope);
    }
    const XRange box = r[SearchRange::Box];
    const float top = std::floor((bar.height - 26 * bar.s) / 2);
    round_rect(bar.slot, box.left, top, box.right, top + 26 * bar.s, 4 * bar.s, Colour::ViewBackground, true);
    round_rect(bar.slot, box.left + 0.5f, top + 0.5f, box.right - 0.5f, top + 26 * bar.s - 0.5f, 4 * bar.s,
               doc->search_box.in_error ? Colour::Error : Colour::Border, false);
    const bool searching = doc->view && doc->view->search;
    if (layout.counter_shown && searching) {
        char counter[COUNTER_SIZE];
        search_counter_text(doc->view, counter, sizeof counter);
        const XRange c = r[SearchRange::Counter];
        text_in(bar, counter, c.left, c.right - c.left, Colour::SecondaryText, Align::Left, true);
    }
    paint_arrow(bar, r[SearchRange::Previous], Chevron::Up, searching, bar.hover == TopBarPart::Previous);
    paint_arrow(bar, r[SearchRange::Next], Chevron::Down, searching, bar.hover == TopBarPart::Next);
}

void paint_menu_button(const BarPaint& bar) {
    const float s = bar.s, left = bar.layout.menu_left;
    const bool hovered = bar.hover == TopBarPart::Menu;
    if (hovered) centred_box(bar, left + 4 * s, bar.width - 4 * s, 28 * s, 5 * s, Colour::Border, true);
    const float cx = left + 20 * s;
    for (int k = -1; k <= 1; k++) {
        const float y = std::floor(bar.height / 2 + static_cast<float>(k) * 5 * s) + 0.5f;
        line(bar.slot, cx - 7 * s, y, cx + 7 * s, y, hovered ? Colour::Text : Colour::SecondaryText, 1.5f * s);
    }
}

void paint_progress_line(const BarPaint& bar) {
    uint32_t per_mille = 0;
    if (!progress_shown(bar.shell->doc, &per_mille)) return;
    fill_rect(bar.slot, 0, bar.height - 2 * bar.s, bar.width * static_cast<float>(per_mille) / 1000, bar.height,
              Colour::Accent);
}

}  // namespace

void paint_top_bar(ShellWindow* shell) {
    PAINTSTRUCT paint;
    RenderSlot* slot = &shell->top.slot;
    shell->top.crumbs.count = 0;
    if (!begin_window_paint(slot, shell->top_bar, &paint, Colour::BarBackground)) return;
    const TopBarLayout layout = top_bar_geometry(shell);
    RECT client{};
    GetClientRect(shell->top_bar, &client);
    const BarPaint bar = {shell, slot, layout, shell->scale, static_cast<float>(client.right),
                          static_cast<float>(client.bottom), shell->top.hover};
    clear(slot, Colour::BarBackground);
    line(slot, 0, bar.height - 0.5f, bar.width, bar.height - 0.5f, Colour::Border, 1);
    const DocWindow* doc = shell->doc;
    if (!doc->start_page) {
        paint_view_switch(bar);
        if (doc->goto_mode) paint_goto_frame(bar);
        else if (doc->view) paint_breadcrumbs(bar);
        paint_search_cluster(bar);
    }
    paint_menu_button(bar);
    paint_progress_line(bar);
    end_window_paint(slot, shell->top_bar, &paint);
}
