#include "shell/inspector.h"

#include <windowsx.h>

#include <cmath>

#include "app/app.h"
#include "app/doc_window.h"
#include "app/inspector_panel.h"
#include "app/window_layout.h"
#include "base/memory.h"
#include "base/wide_text_win.h"
#include "shell/doc_frame.h"
#include "shell/panels.h"
#include "shell/process.h"
#include "shell/theme.h"

namespace {

constexpr DWORD INSPECTOR_STYLE =
    WS_CHILD | WS_CLIPSIBLINGS | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY | ES_NOHIDESEL;

int32_t scaled(float length, float scale) { return static_cast<int32_t>(std::floor(length * scale + 0.5f)); }

void paint_split_bar(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (!dc) return;
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, palette_brush(Colour::ViewBackground));
    RECT line = {client.right / 2, client.top, client.right / 2 + 1, client.bottom};
    FillRect(dc, &line, palette_brush(Colour::Border));
    EndPaint(window, &paint);
}

// The width follows the pointer; the layout changes only when it does.
void drag_split_bar(ShellWindow* shell) {
    POINT cursor;
    RECT client;
    if (!GetCursorPos(&cursor) || !ScreenToClient(shell->window, &cursor) || !GetClientRect(shell->window, &client))
        return;
    int32_t width = dragged_inspector_width(client.right, cursor.x, shell->scale);
    if (width == shell->doc->inspector_width) return;
    shell->doc->inspector_width = width;
    layout_doc_window(shell);
}

// Saved once, when the drag ends by the button or by losing the capture.
void end_split_drag(ShellWindow* shell, bool release) {
    if (!shell->split_dragging) return;
    shell->split_dragging = 0;
    if (release) ReleaseCapture();
    keep_inspector_width(shell->doc);
}

}  // namespace

bool create_inspector(ShellWindow* shell) {
    HINSTANCE instance = process()->instance;
    shell->split_bar = CreateWindowExW(0, SPLIT_CLASS, nullptr, WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0, shell->window,
                                       nullptr, instance, shell->doc);
    shell->inspector = CreateWindowExW(0, L"EDIT", nullptr, INSPECTOR_STYLE, 0, 0, 0, 0, shell->window,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(INSPECTOR_ID)), instance, nullptr);
    if (!shell->split_bar || !shell->inspector) return false;
    SendMessageW(shell->inspector, EM_SETLIMITTEXT, 0, 0);
    reset_inspector_font(shell);
    apply_control_theme(shell->inspector);
    return true;
}

void set_inspector_margins(ShellWindow* shell) {
    RECT area;
    if (!GetClientRect(shell->inspector, &area)) return;
    const float s = shell->scale;
    area.left += scaled(12, s);
    area.top += scaled(10, s);
    area.right -= scaled(8, s);
    area.bottom -= scaled(6, s);
    if (area.right > area.left && area.bottom > area.top)
        SendMessageW(shell->inspector, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&area));
}

void reset_inspector_font(ShellWindow* shell) {
    SendMessageW(shell->inspector, WM_SETFONT, reinterpret_cast<WPARAM>(shell->fonts.gdi_code), TRUE);
    set_inspector_margins(shell);
}

void refresh_inspector(ShellWindow* shell, bool force) {
    if (!shell->inspector || !shell->doc) return;
    char* text = nullptr;
    uint64_t length = 0;
    if (update_inspector(shell->doc, force, &text, &length) == InspectorUpdate::Keep) return;
    wchar_t* wide = text ? utf8_to_utf16(text, length) : nullptr;
    mem_free(text);
    SetWindowTextW(shell->inspector, wide ? wide : L"");
    mem_free(wide);
}

LRESULT CALLBACK split_bar_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    ShellWindow* shell = panel_shell(window, message, lparam);
    if (!shell || !shell->doc) return DefWindowProcW(window, message, wparam, lparam);
    switch (message) {
    case WM_SETCURSOR: SetCursor(LoadCursorW(nullptr, IDC_SIZEWE)); return TRUE;
    case WM_LBUTTONDOWN:
        SetCapture(window);
        shell->split_dragging = 1;
        return 0;
    case WM_MOUSEMOVE:
        if (shell->split_dragging) drag_split_bar(shell);
        return 0;
    case WM_LBUTTONUP: end_split_drag(shell, true); return 0;
    case WM_CAPTURECHANGED: end_split_drag(shell, false); return 0;
    case WM_PAINT: paint_split_bar(window); return 0;
    case WM_ERASEBKGND: return 1;
    default: return DefWindowProcW(window, message, wparam, lparam);
    }
}
