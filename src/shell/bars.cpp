// The three bars of class "Tarnwell.Bar", told apart by their control id: the
// message strip under the top bar, the problem bar and the status bar.
#include <windowsx.h>

#include <algorithm>
#include <cmath>

#include "app/commands.h"
#include "app/doc_window.h"
#include "app/panel_layout.h"
#include "app/reload.h"
#include "app/status_text.h"
#include "core/document.h"
#include "describe/format.h"
#include "describe/summaries.h"
#include "shell/doc_frame.h"
#include "shell/panels.h"
#include "views/view_state.h"

namespace {

constexpr wchar_t NEXT_PROBLEM[] = L"Next problem";
constexpr wchar_t SHOW_IN_TEXT[] = L"Show in text";
constexpr int32_t BUTTON_LABEL_LENGTH = 12;  // both labels
constexpr uint32_t TYPE_SUMMARY_SIZE = 256;

struct BarPaint {
    ShellWindow* shell;
    RenderSlot* slot;
    float s;
    float width;
    float height;
};

RenderSlot* slot_of(ShellWindow* shell, int id) { return &shell->bar_slots[id - MESSAGE_BAR_ID]; }

// A UTF-8 text drawn in a box of the bar's full height; the drawn width.
float draw_utf8(const BarPaint& bar, IDWriteInlineObject* ellipsis, const char* text, float x, float width,
                uint32_t colour, uint32_t alignment) {
    return draw_utf8_box(bar.slot, bar.shell->fonts.ui, ellipsis, text, x, 0, width, bar.height, colour, alignment);
}

void paint_status_bar(const BarPaint& bar) {
    const DocWindow* doc = bar.shell->doc;
    clear(bar.slot, Colour::BarBackground);
    line(bar.slot, 0, 0.5f, bar.width, 0.5f, Colour::Border, 1);
    char summary[TYPE_SUMMARY_SIZE] = "";
    const char* right = doc->flash_text;
    uint32_t right_colour = Colour::Text;
    float right_limit = bar.width - 20 * bar.s;
    if (!right[0] && doc->view && selected_node(doc->view) != NO_NODE) {
        type_summary(document(doc->view), selected_node(doc->view), summary, sizeof summary);
        right = summary;
        right_colour = Colour::SecondaryText;
        right_limit = status_right_max_width(bar.width, bar.s);
    }
    float right_width = 0;
    if (right[0]) {
        float measured = measure_utf8(bar.shell->fonts.ui, right);
        right_width = measured < right_limit ? measured : right_limit;
        float right_edge = bar.width - 10 * bar.s;
        draw_utf8(bar, bar.shell->fonts.ellipsis, right, right_edge - right_width, right_width, right_colour,
                  Align::Right);
    }
    char left[STATUS_TEXT_SIZE];
    status_left_text(doc, left, sizeof left);
    if (left[0])
        draw_utf8(bar, bar.shell->fonts.ellipsis, left, 10 * bar.s, status_left_width(bar.width, bar.s, right_width),
                  Colour::SecondaryText, Align::Left);
}

// The go-to message when there is one, otherwise the search's, each from
// under the part of the top bar it is about, moved left as far as the whole
// text needs (a narrow window would cut it short otherwise).
void paint_message_bar(const BarPaint& bar) {
    const DocWindow* doc = bar.shell->doc;
    clear(bar.slot, Colour::BarBackground);
    line(bar.slot, 0, bar.height - 0.5f, bar.width, bar.height - 0.5f, Colour::Border, 1);
    const bool go_to = doc->goto_message[0] != 0;
    const char* text = go_to ? doc->goto_message : doc->message_text;
    if (!text[0]) return;
    const TopBarLayout top = top_bar_geometry(bar.shell);
    const float under = go_to ? top.crumb_area.left : top.search[SearchRange::MatchCase].left;
    const float fitting = bar.width - 12 * bar.s - measure_utf8(bar.shell->fonts.ui, text);
    const float x = std::max(std::min(under + 8 * bar.s, fitting), 12 * bar.s);
    draw_utf8(bar, bar.shell->fonts.ellipsis, text, x, bar.width - 12 * bar.s - x, Colour::Error, Align::Left);
}

ProblemBarLayout problem_layout_of(const ShellWindow* shell, float width, float height) {
    const Document* document_shown = shell->doc->view ? document(shell->doc->view) : nullptr;
    ProblemButton button =
        document_shown ? problem_bar_button(document_shown, shell->doc->file_missing != 0) : ProblemButton::None;
    float label = 0;
    if (button == ProblemButton::NextProblem) label = measure_text(shell->fonts.ui, NEXT_PROBLEM, BUTTON_LABEL_LENGTH);
    if (button == ProblemButton::ShowInText) label = measure_text(shell->fonts.ui, SHOW_IN_TEXT, BUTTON_LABEL_LENGTH);
    return problem_bar_layout(width, height, shell->scale, button, label);
}

void paint_warning_mark(const BarPaint& bar, float cy) {
    const float s = bar.s;
    const float cx = 21 * s;
    round_rect(bar.slot, cx - 7 * s, cy - 7 * s, cx + 7 * s, cy + 7 * s, 7 * s, Colour::Error, false);
    line(bar.slot, cx, cy - 3.5f * s, cx, cy + s, Colour::Error, 1.5f * s);
    fill_rect(bar.slot, cx - 0.8f * s, cy + 2.5f * s, cx + 0.8f * s, cy + 4.1f * s, Colour::Error);
}

void paint_close_button(const BarPaint& bar, const ProblemBarLayout& layout, float cy, bool hovered) {
    const float s = bar.s;
    const float cx = bar.width - 18 * s;
    uint32_t colour = Colour::SecondaryText;
    if (hovered) {
        round_rect(bar.slot, layout.close_left, cy - 11 * s, bar.width - 2 * s, cy + 11 * s, 4 * s,
                   Colour::ViewBackground, true);
        colour = Colour::Text;
    }
    line(bar.slot, cx - 4 * s, cy - 4 * s, cx + 4 * s, cy + 4 * s, colour, 1.4f * s);
    line(bar.slot, cx - 4 * s, cy + 4 * s, cx + 4 * s, cy - 4 * s, colour, 1.4f * s);
}

void paint_problem_bar(const BarPaint& bar) {
    ShellWindow* shell = bar.shell;
    clear(bar.slot, Colour::ErrorBar);
    line(bar.slot, 0, bar.height - 0.5f, bar.width, bar.height - 0.5f, Colour::Border, 1);
    if (!shell->doc->view) return;
    const float s = bar.s;
    const float cy = std::floor(bar.height / 2) + 0.5f;
    ProblemBarLayout layout = problem_layout_of(shell, bar.width, bar.height);
    paint_warning_mark(bar, cy);
    paint_close_button(bar, layout, cy, shell->problem_hover == ProblemBarPart::Close);
    if (layout.button != ProblemButton::None) {
        const FloatRect& box = layout.button_rect;
        const uint32_t part =
            layout.button == ProblemButton::NextProblem ? ProblemBarPart::NextProblem : ProblemBarPart::ShowInText;
        if (shell->problem_hover == part)
            round_rect(bar.slot, box.left, box.top, box.right, box.bottom, 4 * s, Colour::ViewBackground, true);
        round_rect(bar.slot, box.left, box.top, box.right, box.bottom, 4 * s, Colour::FaintText, false);
        draw_text_box(bar.slot, shell->fonts.ui, nullptr,
                      layout.button == ProblemButton::NextProblem ? NEXT_PROBLEM : SHOW_IN_TEXT, BUTTON_LABEL_LENGTH,
                      box.left, box.top, box.right - box.left, box.bottom - box.top, Colour::Text, Align::Centre);
    }
    if (!layout.text_shown) return;
    char summary[512];
    const char* text = FILE_MISSING_TEXT;
    if (!shell->doc->file_missing) {
        error_summary(document(shell->doc->view), summary, sizeof summary);
        text = summary;
    }
    draw_utf8(bar, shell->fonts.ellipsis, text, layout.text.left, layout.text.right - layout.text.left, Colour::Error,
              Align::Left);
}

void paint_bar(ShellWindow* shell, HWND window, int id) {
    PAINTSTRUCT paint;
    RenderSlot* slot = slot_of(shell, id);
    if (!begin_window_paint(slot, window, &paint, Colour::BarBackground)) return;
    RECT client{};
    GetClientRect(window, &client);
    BarPaint bar = {shell, slot, shell->scale, static_cast<float>(client.right), static_cast<float>(client.bottom)};
    if (id == STATUS_BAR_ID) paint_status_bar(bar);
    else if (id == PROBLEM_BAR_ID) paint_problem_bar(bar);
    else paint_message_bar(bar);
    end_window_paint(slot, window, &paint);
}

uint32_t problem_part_at(const ShellWindow* shell, LPARAM lparam) {
    if (!shell->doc->view) return ProblemBarPart::Nothing;
    RECT client{};
    GetClientRect(shell->problem_bar, &client);
    ProblemBarLayout layout =
        problem_layout_of(shell, static_cast<float>(client.right), static_cast<float>(client.bottom));
    return problem_bar_hit(layout, static_cast<float>(GET_X_LPARAM(lparam)));
}

void set_problem_hover(ShellWindow* shell, uint32_t part) {
    if (shell->problem_hover == part) return;
    shell->problem_hover = part;
    InvalidateRect(shell->problem_bar, nullptr, FALSE);
}

void click_problem_bar(ShellWindow* shell, LPARAM lparam) {
    uint32_t part = problem_part_at(shell, lparam);
    if (part == ProblemBarPart::Close) run_command(shell->doc, CommandId::ProblemBarClose);
    else if (part == ProblemBarPart::NextProblem) run_command(shell->doc, CommandId::ProblemBarNext);
    else if (part == ProblemBarPart::ShowInText) run_command(shell->doc, CommandId::ProblemBarShowInText);
}

}  // namespace

LRESULT CALLBACK bar_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    ShellWindow* shell = panel_shell(window, message, lparam);
    if (!shell || !shell->doc) return DefWindowProcW(window, message, wparam, lparam);
    const int id = GetDlgCtrlID(window);
    if (id < MESSAGE_BAR_ID || id > STATUS_BAR_ID) return DefWindowProcW(window, message, wparam, lparam);
    switch (message) {
    case WM_PAINT: paint_bar(shell, window, id); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SIZE: InvalidateRect(window, nullptr, FALSE); return 0;
    default: break;
    }
    if (id != PROBLEM_BAR_ID) return DefWindowProcW(window, message, wparam, lparam);
    switch (message) {
    case WM_MOUSEMOVE:
        set_problem_hover(shell, problem_part_at(shell, lparam));
        track_mouse_leave(window);
        return 0;
    case WM_MOUSELEAVE: set_problem_hover(shell, ProblemBarPart::Nothing); return 0;
    case WM_LBUTTONUP: click_problem_bar(shell, lparam); return 0;
    default: break;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}
