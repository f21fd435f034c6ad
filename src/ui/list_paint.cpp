#include <cmath>
#include <cstdio>

#include "app/app.h"
#include "app/doc_window.h"
#include "ui/list.h"
#include "views/palette.h"
#include "views/view_state.h"

namespace {

constexpr uint32_t TEXT_LINE_BUDGET = 2000;
constexpr wchar_t EMPTY_FILE[] = L"This file is empty.";

struct PaintArea {
    RenderSlot* slot;
    const Fonts* fonts;
    float s;
    float width;   // W
    float height;  // H
    int32_t row_height;  // R
    float text_offset;   // v: the text's offset inside a row
};

// A number drawn with "%u" in a box.
void draw_number(const PaintArea& area, IDWriteTextFormat* format, uint32_t number, float x, float y, float width,
                 float height, uint32_t alignment) {
    char digits[16];
    wchar_t text[16];
    int length = std::snprintf(digits, sizeof digits, "%u", number);
    for (int i = 0; i < length; i++) text[i] = static_cast<wchar_t>(digits[i]);
    draw_text_box(area.slot, format, nullptr, text, length, x, y, width, height, Colour::FaintText, alignment);
}

void paint_text_lines(ListControl* list, const ViewState* view, const PaintArea& area) {
    uint32_t count = visible_row_count(view);
    float gutter = gutter_width(count, area.fonts->digit_width, area.s);
    float text_x = gutter + 4 * area.s - static_cast<float>(list->h_offset);
    uint32_t caret = selected_row(view);
    uint32_t anchor = anchor_line(view);
    uint32_t first = caret;
    uint32_t last = caret;
    if (caret != NO_LINE && anchor != NO_LINE) {
        first = caret < anchor ? caret : anchor;
        last = caret < anchor ? anchor : caret;
    }
    float widest = 0;
    for (uint32_t i = 0; static_cast<float>(i) * area.row_height < area.height; i++) {
        uint64_t row = static_cast<uint64_t>(list->top_row) + i;
        if (row >= count) break;
        float y = static_cast<float>(i) * area.row_height;
        if (caret != NO_LINE && row >= first && row <= last)
            fill_rect(area.slot, 0, y, area.width, y + area.row_height, Colour::Selection);
        paint_row(view, static_cast<uint32_t>(row), TEXT_LINE_BUDGET, &list->paint);
        push_clip(area.slot, gutter, y, area.width, y + area.row_height);
        float drawn = draw_styled_text(area.slot, area.fonts, &list->paint, text_x, y + area.text_offset,
                                       static_cast<float>(list->h_offset) + area.width);
        pop_clip(area.slot);
        if (drawn > widest) widest = drawn;
        draw_number(area, area.fonts->code, list->paint.line_number, 0, y + area.text_offset, gutter - 12 * area.s,
                    area.fonts->line_height, Align::Right);
    }
    if (widest > list->widest_line + 0.5f) {
        list->widest_line = widest;
        PostMessageW(list->window, MSG_LIST_WIDEST_LINE, 0, 0);
    }
}

void paint_tree_row(ListControl* list, const ViewState* view, const PaintArea& area, uint32_t row, float y,
                    uint32_t* depth) {
    int32_t client_width = static_cast<int32_t>(area.width);
    float digit = area.fonts->digit_width;
    RowGeometry geometry = row_geometry(*depth, client_width, area.s, digit);
    uint32_t budget = tree_character_budget(geometry.text_x, client_width, area.s, digit);
    paint_row(view, row, budget, &list->paint);
    if (list->paint.depth != *depth) {
        *depth = list->paint.depth;
        geometry = row_geometry(*depth, client_width, area.s, digit);
        uint32_t real_budget = tree_character_budget(geometry.text_x, client_width, area.s, digit);
        if (real_budget != budget) paint_row(view, row, real_budget, &list->paint);
    }
    float s = area.s;
    if (list->doc->app->settings.indent_guides) {
        for (uint32_t level = 0; level < geometry.levels_shown; level++) {
            float x = std::floor(16 * s * static_cast<float>(level) + 16 * s) + 0.5f;
            line(area.slot, x, y, x, y + area.row_height, Colour::IndentGuide, 1);
        }
    }
    if (geometry.badge_x >= 0)
        draw_number(area, area.fonts->small, list->paint.depth, geometry.badge_x, y,
                    geometry.chevron_x - geometry.badge_x, static_cast<float>(area.row_height), Align::Left);
    if (list->paint.chevron)
        chevron(area.slot, std::floor(geometry.chevron_x + 8 * s) + 0.5f,
                std::floor(y + static_cast<float>(area.row_height) / 2) + 0.5f, 3.5f * s,
                list->paint.chevron == 2 ? Chevron::Down : Chevron::Right, Colour::SecondaryText, 1.4f * s);
    draw_styled_text(area.slot, area.fonts, &list->paint, geometry.text_x, y + area.text_offset,
                     area.width - geometry.text_x);
}

void paint_tree(ListControl* list, const ViewState* view, const PaintArea& area) {
    uint32_t count = visible_row_count(view);
    if (count == 0) {
        const Document* doc = document(view);
        if (form(doc) == DocumentForm::Empty && problem_count(doc) == 0)
            draw_text_box(area.slot, area.fonts->ui, nullptr, EMPTY_FILE, sizeof EMPTY_FILE / sizeof EMPTY_FILE[0] - 1,
                          0, 0, area.width, 0.8f * area.height, Colour::SecondaryText, Align::Centre);
        return;
    }
    uint32_t selected = selected_row(view);
    uint32_t depth = 0;
    for (uint32_t i = 0; static_cast<float>(i) * area.row_height < area.height; i++) {
        uint64_t row = static_cast<uint64_t>(list->top_row) + i;
        if (row >= count) break;
        float y = static_cast<float>(i) * area.row_height;
        if (row == selected) fill_rect(area.slot, 0, y, area.width, y + area.row_height, Colour::Selection);
        paint_tree_row(list, view, area, static_cast<uint32_t>(row), y, &depth);
    }
}

}  // namespace

void paint_list(ListControl* list) {
    PAINTSTRUCT paint;
    if (!begin_window_paint(&list->slot, list->window, &paint, Colour::ViewBackground)) return;
    clear(&list->slot, Colour::ViewBackground);
    const ViewState* view = list->doc ? list->doc->view : nullptr;
    const Fonts* fonts = list->fonts;
    if (view && fonts && fonts->row_height > 0) {
        RECT client = {};
        GetClientRect(list->window, &client);
        PaintArea area = {&list->slot, fonts, list->scale, static_cast<float>(client.right),
                          static_cast<float>(client.bottom), fonts->row_height,
                          std::floor((static_cast<float>(fonts->row_height) - fonts->line_height) / 2)};
        if (view_mode(view) == VIEW_MODE_TEXT)
            paint_text_lines(list, view, area);
        else
            paint_tree(list, view, area);
    }
    end_window_paint(&list->slot, list->window, &paint);
}
