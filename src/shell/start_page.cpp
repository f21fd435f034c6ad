// The start page "Tarnwell.Start": the heading, the two open buttons and the
// recent files, painted and hit-tested through the portable layout.
#include <windowsx.h>

#include <cstring>

#include "app/app.h"
#include "app/commands.h"
#include "app/doc_window.h"
#include "app/open_file.h"
#include "app/panel_layout.h"
#include "base/memory.h"
#include "base/wide_text_win.h"
#include "files/settings.h"
#include "shell/doc_frame.h"
#include "shell/panels.h"

namespace {

constexpr wchar_t HEADING[] = L"Drop a JSON file here";
constexpr wchar_t OPEN_LABEL[] = L"Open...";
constexpr wchar_t CLIPBOARD_LABEL[] = L"Open from Clipboard";
constexpr wchar_t RECENT_HEADING[] = L"Recent files";

template <size_t N>
constexpr int32_t length_of(const wchar_t (&)[N]) {
    return static_cast<int32_t>(N - 1);
}

const Settings& settings_of(const ShellWindow* shell) { return shell->doc->app->settings; }

StartPageLayout layout_of(const ShellWindow* shell) {
    RECT client{};
    GetClientRect(shell->start_page, &client);
    StartPageInput input{};
    input.width = static_cast<float>(client.right);
    input.height = static_cast<float>(client.bottom);
    input.scale = shell->scale;
    int32_t recent = settings_of(shell).recent_count;
    input.recent_count = recent > 0 ? static_cast<uint32_t>(recent) : 0;
    input.open_label = measure_text(shell->fonts.ui, OPEN_LABEL, length_of(OPEN_LABEL));
    input.clipboard_label = measure_text(shell->fonts.ui, CLIPBOARD_LABEL, length_of(CLIPBOARD_LABEL));
    return start_page_layout(input);
}

void paint_button(ShellWindow* shell, const FloatRect& box, const wchar_t* label, int32_t length, bool hovered) {
    RenderSlot* slot = &shell->start_slot;
    if (hovered)
        round_rect(slot, box.left, box.top, box.right, box.bottom, 4 * shell->scale, Colour::BarBackground, true);
    draw_text_box(slot, shell->fonts.ui, nullptr, label, length, box.left, box.top, box.right - box.left,
                  box.bottom - box.top, Colour::Accent, Align::Centre);
}

// The file name, then its folder when the name leaves room for it.
void paint_recent_row(ShellWindow* shell, const StartPageLayout& layout, uint32_t i, const char* path) {
    RenderSlot* slot = &shell->start_slot;
    const FloatRect& row = layout.recent_rows[i];
    const float s = shell->scale;
    if (shell->start_hover == StartItem::Recent + i)
        round_rect(slot, row.left, row.top, row.right, row.bottom, 4 * s, Colour::BarBackground, true);
    const char* name = file_name_of(path);
    uint32_t name_units = 0;
    wchar_t* wide_name = utf8_to_utf16(name, std::strlen(name), &name_units);
    float name_width = 0;
    if (wide_name) {
        name_width = draw_text_box(slot, shell->fonts.ui, shell->fonts.ellipsis, wide_name,
                                   static_cast<int32_t>(name_units), layout.list_left, row.top, layout.list_width,
                                   row.bottom - row.top, Colour::Text, Align::Left);
        mem_free(wide_name);
    }
    XRange folder = recent_folder_range(layout, name_width, s);
    if (name == path || folder.right <= folder.left) return;
    uint32_t folder_units = 0;
    wchar_t* wide_folder = utf8_to_utf16(path, static_cast<uint64_t>(name - path), &folder_units);
    if (!wide_folder) return;
    draw_text_box(slot, shell->fonts.ui, shell->fonts.ellipsis, wide_folder, static_cast<int32_t>(folder_units),
                  folder.left, row.top, folder.right - folder.left, row.bottom - row.top, Colour::FaintText,
                  Align::Left);
    mem_free(wide_folder);
}

void paint_start_page(ShellWindow* shell) {
    PAINTSTRUCT paint;
    if (!begin_window_paint(&shell->start_slot, shell->start_page, &paint, Colour::ViewBackground)) return;
    RenderSlot* slot = &shell->start_slot;
    const float s = shell->scale;
    clear(slot, Colour::ViewBackground);
    StartPageLayout layout = layout_of(shell);
    RECT client{};
    GetClientRect(shell->start_page, &client);
    draw_text_box(slot, shell->fonts.large_ui, nullptr, HEADING, length_of(HEADING), 0, layout.heading_top,
                  static_cast<float>(client.right), 30 * s, Colour::SecondaryText, Align::Centre);
    paint_button(shell, layout.open_button, OPEN_LABEL, length_of(OPEN_LABEL),
                 shell->start_hover == StartItem::Open);
    paint_button(shell, layout.clipboard_button, CLIPBOARD_LABEL, length_of(CLIPBOARD_LABEL),
                 shell->start_hover == StartItem::OpenFromClipboard);
    if (layout.recent_count > 0) {
        draw_text_box(slot, shell->fonts.ui, nullptr, RECENT_HEADING, length_of(RECENT_HEADING), layout.list_left,
                      layout.recent_heading_top, layout.list_width, 22 * s, Colour::FaintText, Align::Left);
        for (uint32_t i = 0; i < layout.recent_count; i++) paint_recent_row(shell, layout, i, settings_of(shell).recent[i]);
    }
    end_window_paint(slot, shell->start_page, &paint);
}

uint32_t item_at(const ShellWindow* shell, LPARAM lparam) {
    return start_page_hit(layout_of(shell), static_cast<float>(GET_X_LPARAM(lparam)),
                          static_cast<float>(GET_Y_LPARAM(lparam)));
}

void set_hover(ShellWindow* shell, uint32_t item) {
    if (shell->start_hover == item) return;
    shell->start_hover = item;
    InvalidateRect(shell->start_page, nullptr, FALSE);
}

// Commands may replace the page by a document or close the window, so
// nothing of the page is touched after one.
void activate(ShellWindow* shell, uint32_t item) {
    DocWindow* doc = shell->doc;
    if (item == StartItem::Open) run_command(doc, CommandId::Open);
    else if (item == StartItem::OpenFromClipboard) run_command(doc, CommandId::OpenFromClipboard);
    else if (item >= StartItem::Recent) run_command(doc, CommandId::OpenRecent + (item - StartItem::Recent));
}

}  // namespace

LRESULT CALLBACK start_page_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    ShellWindow* shell = panel_shell(window, message, lparam);
    if (!shell || !shell->doc) return DefWindowProcW(window, message, wparam, lparam);
    switch (message) {
    case WM_PAINT: paint_start_page(shell); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SIZE: InvalidateRect(window, nullptr, FALSE); return 0;
    case WM_MOUSEMOVE:
        set_hover(shell, item_at(shell, lparam));
        track_mouse_leave(window);
        return 0;
    case WM_MOUSELEAVE: set_hover(shell, StartItem::Nothing); return 0;
    case WM_SETCURSOR:
        if (LOWORD(lparam) == HTCLIENT && shell->start_hover != StartItem::Nothing) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    case WM_LBUTTONUP: activate(shell, item_at(shell, lparam)); return 0;
    default: break;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}
