// The top bar's window: its boxes and tooltips, its layout, the mouse, and
// the notices about it. Painting is in top_bar_paint.cpp.
#include "shell/top_bar.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cstring>

#include "app/app_host.h"
#include "app/commands.h"
#include "app/doc_window.h"
#include "app/goto_box.h"
#include "app/search_box.h"
#include "shell/doc_frame.h"
#include "shell/menus.h"
#include "shell/panels.h"
#include "shell/process.h"
#include "views/palette.h"
#include "views/view_state.h"

namespace {

constexpr wchar_t TREE_LABEL[] = L"Tree";
constexpr wchar_t TEXT_LABEL[] = L"Text";
constexpr wchar_t LONG_CUE[] = L"Search keys and values";

struct Tool {
    uint32_t range;  // SearchRange
    const wchar_t* text;
};
// Tool ids 1-5, in this order.
constexpr Tool TOOLS[] = {{SearchRange::MatchCase, L"Match case"},
                          {SearchRange::Regex, L"Regular expression"},
                          {SearchRange::Scope, L"What to search"},
                          {SearchRange::Previous, L"Previous match (Shift+F3)"},
                          {SearchRange::Next, L"Next match (F3)"}};

template <size_t N>
float measured(const ShellWindow* shell, const wchar_t (&text)[N]) {
    return measure_text(shell->fonts.ui, text, N - 1);
}

int32_t gdi_font_height(HWND window, HFONT font) {
    HDC dc = GetDC(window);
    if (!dc) return 0;
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    int32_t height = GetTextMetricsW(dc, &metrics) ? metrics.tmHeight : 0;
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return height;
}

TTTOOLINFOW tool_info(const ShellWindow* shell, uint32_t i) {
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_SUBCLASS;
    info.hwnd = shell->top_bar;
    info.uId = i + 1;
    info.lpszText = const_cast<wchar_t*>(TOOLS[i].text);
    return info;
}

void create_tooltips(ShellWindow* shell) {
    HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, shell->top_bar, nullptr,
                               process()->instance, nullptr);
    shell->top.tooltip = tip;
    if (!tip) return;  // the bar works without them
    for (uint32_t i = 0; i < sizeof TOOLS / sizeof TOOLS[0]; i++) {
        TTTOOLINFOW info = tool_info(shell, i);
        SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    }
}

void place_tooltips(ShellWindow* shell, const TopBarLayout& layout, LONG height) {
    if (!shell->top.tooltip) return;
    for (uint32_t i = 0; i < sizeof TOOLS / sizeof TOOLS[0]; i++) {
        TTTOOLINFOW info = tool_info(shell, i);
        const XRange range = layout.search[TOOLS[i].range];
        info.rect = {static_cast<LONG>(range.left), 0, static_cast<LONG>(range.right), height};
        SendMessageW(shell->top.tooltip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&info));
    }
}

void place_box(HWND box, PixelRect rect, bool shown) {
    SetWindowPos(box, nullptr, rect.x, rect.y, rect.width, rect.height,
                 SWP_NOZORDER | SWP_NOACTIVATE | (shown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void set_cue(ShellWindow* shell, const char* cue) {
    if (shell->top.cue == cue) return;
    shell->top.cue = cue;
    const wchar_t* wide = std::strcmp(cue, "Search") == 0 ? L"Search" : LONG_CUE;
    SendMessageW(shell->top.search_box, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(wide));
}

// Hides the go-to box once the portable half has closed it; a box that had
// the focus hands it to the list first.
void sync_goto_box(ShellWindow* shell) {
    HWND box = shell->top.goto_box;
    if (shell->doc->goto_mode || !IsWindowVisible(box)) return;
    if (GetFocus() == box) SetFocus(shell->list.window);
    ShowWindow(box, SW_HIDE);
}

LRESULT on_create(ShellWindow* shell, HWND window) {
    shell->top_bar = window;
    if (!create_top_bar_boxes(shell)) return -1;
    create_tooltips(shell);
    lay_out_top_bar(shell);
    return 0;
}

uint32_t part_at(ShellWindow* shell, LPARAM lparam) {
    const BreadcrumbFit* crumbs = shell->top.crumbs.count ? &shell->top.crumbs : nullptr;
    return top_bar_hit(top_bar_geometry(shell), crumbs, static_cast<float>(GET_X_LPARAM(lparam)));
}

void on_mouse_move(ShellWindow* shell, LPARAM lparam) {
    uint32_t part = part_at(shell, lparam);
    if (!top_bar_part_hovers(part)) part = TopBarPart::Nothing;
    if (part == shell->top.hover) return;
    shell->top.hover = part;
    InvalidateRect(shell->top_bar, nullptr, FALSE);
    track_mouse_leave(shell->top_bar);
}

void on_mouse_leave(ShellWindow* shell) {
    shell->top.hover = TopBarPart::Nothing;
    InvalidateRect(shell->top_bar, nullptr, FALSE);
}

POINT bar_point_on_screen(const ShellWindow* shell, float x) {
    RECT client{};
    GetClientRect(shell->top_bar, &client);
    POINT point = {static_cast<LONG>(x), client.bottom};
    ClientToScreen(shell->top_bar, &point);
    return point;
}

void click_crumb(ShellWindow* shell, uint32_t i) {
    if (i >= shell->top.crumbs.count || !shell->doc->view) return;
    select_breadcrumb(shell->doc->view, shell->top.crumbs.levels[i]);
    sync_list(&shell->list, true);
}

void on_button_down(ShellWindow* shell, LPARAM lparam) {
    DocWindow* doc = shell->doc;
    const uint32_t part = part_at(shell, lparam);
    const TopBarLayout layout = top_bar_geometry(shell);
    switch (part) {
    case TopBarPart::Menu: {
        RECT client{};
        GetClientRect(shell->top_bar, &client);
        POINT corner = bar_point_on_screen(shell, static_cast<float>(client.right - scaled_pixels(4, shell->scale)));
        show_main_menu(doc, corner.x, corner.y);
        return;
    }
    case TopBarPart::Tree: run_command(doc, CommandId::Tree); return;
    case TopBarPart::Text: run_command(doc, CommandId::Text); return;
    case TopBarPart::CrumbArea: open_goto_box(shell); return;
    case TopBarPart::MatchCase: toggle_match_case(doc); return;
    case TopBarPart::Regex: toggle_regex(doc); return;
    case TopBarPart::Scope: {
        POINT below = bar_point_on_screen(shell, layout.search[SearchRange::Scope].left);
        show_scope_menu(doc, below.x, below.y);
        return;
    }
    case TopBarPart::SearchBox:
        if (doc->view) SetFocus(shell->top.search_box);
        return;
    case TopBarPart::Previous: run_command(doc, CommandId::FindPrevious); return;
    case TopBarPart::Next: run_command(doc, CommandId::FindNext); return;
    default:
        if (part >= TopBarPart::Crumb) click_crumb(shell, part - TopBarPart::Crumb);
        return;
    }
}

LRESULT on_ctl_colour(ShellWindow* shell, HDC dc, HWND box) {
    const bool error = box == shell->top.search_box && shell->doc->search_box.in_error;
    SetTextColor(dc, palette_colorref(error ? Colour::Error : Colour::Text));
    SetBkColor(dc, palette_colorref(Colour::ViewBackground));
    return reinterpret_cast<LRESULT>(palette_brush(Colour::ViewBackground));
}

void on_command(ShellWindow* shell, WPARAM wparam) {
    if (HIWORD(wparam) != EN_CHANGE) return;
    if (LOWORD(wparam) == GOTO_BOX_ID) goto_box_changed(shell);
    else if (LOWORD(wparam) == SEARCH_BOX_ID) search_text_changed(shell);
}

}  // namespace

TopBarLayout top_bar_geometry(const ShellWindow* shell) {
    RECT client{};
    GetClientRect(shell->top_bar, &client);
    TopBarInput input{};
    input.width = static_cast<float>(client.right);
    input.height = client.bottom;
    input.scale = shell->scale;
    input.start_page = shell->doc->start_page;
    input.tree_label = shell->top.tree_label;
    input.text_label = shell->top.text_label;
    input.long_cue = shell->top.long_cue;
    input.edit_font_height = shell->top.edit_font_height;
    return top_bar_layout(input);
}

void lay_out_top_bar(ShellWindow* shell) {
    const TopBar& top = shell->top;
    const WPARAM font = reinterpret_cast<WPARAM>(shell->fonts.gdi_ui);
    SendMessageW(top.goto_box, WM_SETFONT, font, FALSE);
    SendMessageW(top.search_box, WM_SETFONT, font, FALSE);
    shell->top.edit_font_height = shell->fonts.gdi_ui ? gdi_font_height(shell->top_bar, shell->fonts.gdi_ui) : 0;
    shell->top.tree_label = measured(shell, TREE_LABEL);
    shell->top.text_label = measured(shell, TEXT_LABEL);
    shell->top.long_cue = measured(shell, LONG_CUE);
    const WORD margin = static_cast<WORD>(scaled_pixels(2, shell->scale));
    SendMessageW(top.goto_box, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(margin, margin));
    SendMessageW(top.search_box, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(0, 0));
    place_top_bar_children(shell);
}

void place_top_bar_children(ShellWindow* shell) {
    if (!shell->top.search_box) return;
    const TopBarLayout layout = top_bar_geometry(shell);
    if (shell->doc->goto_mode) place_box(shell->top.goto_box, layout.goto_box, true);
    place_box(shell->top.search_box, layout.search_box, layout.search_box_shown);
    set_cue(shell, layout.cue);
    RECT client{};
    GetClientRect(shell->top_bar, &client);
    place_tooltips(shell, layout, client.bottom);
    InvalidateRect(shell->top_bar, nullptr, FALSE);
}

void top_bar_notice(ShellWindow* shell, uint32_t notices) {
    if (notices & Notice::GoToMessage) sync_goto_box(shell);
    // A window leaving the start page keeps the bar's size, so no WM_SIZE
    // shows the search box.
    if (notices & Notice::Layout) place_top_bar_children(shell);
    if (notices & Notice::SearchBoxText) show_search_text(shell);
    if (notices & Notice::SearchBox) {
        InvalidateRect(shell->top.search_box, nullptr, TRUE);
        InvalidateRect(shell->top_bar, nullptr, FALSE);
    }
    if (notices & Notice::FocusSearchBox) focus_search_box(shell);
    if (notices & (Notice::TopBar | Notice::GoToMessage)) InvalidateRect(shell->top_bar, nullptr, FALSE);
}

void release_top_bar(ShellWindow* shell) { release_slot(&shell->top.slot); }

LRESULT CALLBACK top_bar_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    ShellWindow* shell = panel_shell(window, message, lparam);
    if (!shell || !shell->doc) return DefWindowProcW(window, message, wparam, lparam);
    switch (message) {
    case WM_CREATE: return on_create(shell, window);
    case WM_SIZE: place_top_bar_children(shell); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: paint_top_bar(shell); return 0;
    case WM_CTLCOLOREDIT:
        return on_ctl_colour(shell, reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    case WM_COMMAND: on_command(shell, wparam); return 0;
    case WM_MOUSEMOVE: on_mouse_move(shell, lparam); return 0;
    case WM_MOUSELEAVE: on_mouse_leave(shell); return 0;
    case WM_LBUTTONDOWN: on_button_down(shell, lparam); return 0;
    case MSG_GOTO_FOCUS_LOST: goto_focus_lost(shell); return 0;
    default: break;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}
