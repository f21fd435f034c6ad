#include <windowsx.h>

#include "app/doc_window.h"
#include "app/app_host.h"
#include "app/commands.h"
#include "ui/list.h"
#include "views/view_state.h"

namespace {

constexpr wchar_t LIST_CLASS[] = L"Tarnwell.List";
// Showing or hiding a bar changes the client size, which may call for the
// other bar; a few passes always settle.
constexpr int BAR_PASSES = 4;

ViewState* view_of(const ListControl* list) { return list->doc ? list->doc->view : nullptr; }

SIZE client_size(const ListControl* list) {
    RECT client = {};
    GetClientRect(list->window, &client);
    return {client.right - client.left, client.bottom - client.top};
}

void set_vertical_bar(ListControl* list) {
    ListMetrics metrics = list_metrics(list);
    list->top_row = clamp_top_row(list->top_row, metrics);
    ScrollBarValues values = vertical_scroll_bar(list->top_row, metrics);
    SCROLLINFO info = {sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, values.maximum,
                       static_cast<UINT>(values.page), values.position, 0};
    SetScrollInfo(list->window, SB_VERT, &info, TRUE);
}

// True when the offset or the bar's visibility changed.
bool set_horizontal_bar(ListControl* list) {
    const ViewState* view = view_of(list);
    HorizontalInput input = {};
    input.text_view = view && view_mode(view) == VIEW_MODE_TEXT;
    input.line_count = view ? visible_row_count(view) : 0;
    input.digit_width = list->fonts ? list->fonts->digit_width : 0;
    input.scale = list->scale;
    input.widest_line = list->widest_line;
    input.client_width = client_size(list).cx;
    HorizontalScroll bar = horizontal_scroll(input, list->h_offset);
    bool changed = bar.offset != list->h_offset || bar.shown != list->h_bar_shown;
    list->h_offset = bar.offset;
    if (bar.shown != list->h_bar_shown) {
        list->h_bar_shown = bar.shown;
        ShowScrollBar(list->window, SB_HORZ, bar.shown);
    }
    SCROLLINFO info = {sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, bar.maximum, static_cast<UINT>(bar.page),
                       bar.offset, 0};
    SetScrollInfo(list->window, SB_HORZ, &info, TRUE);
    return changed;
}

// Sets the bars until the client size stays put. Calls that arrive while
// this runs (WM_SIZE from a bar shown or hidden) are left to the next pass.
void refresh_bars(ListControl* list, bool vertical) {
    if (list->updating_bars || !list->window) return;
    list->updating_bars = 1;
    bool repaint = vertical;
    for (int pass = 0; pass < BAR_PASSES; pass++) {
        SIZE before = client_size(list);
        if (vertical) set_vertical_bar(list);
        repaint |= set_horizontal_bar(list);
        SIZE after = client_size(list);
        if (after.cx == before.cx && after.cy == before.cy) break;
        vertical = true;
        repaint = true;
    }
    list->updating_bars = 0;
    if (repaint) InvalidateRect(list->window, nullptr, FALSE);
}

void reset_h_scroll(ListControl* list) {
    list->widest_line = 0;
    list->h_offset = 0;
    update_h_scroll(list);
}

ScrollAction scroll_action(WORD code, bool* known) {
    *known = true;
    switch (code) {
    case SB_LINEUP: return ScrollAction::LineBack;
    case SB_LINEDOWN: return ScrollAction::LineForward;
    case SB_PAGEUP: return ScrollAction::PageBack;
    case SB_PAGEDOWN: return ScrollAction::PageForward;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: return ScrollAction::Thumb;
    case SB_TOP: return ScrollAction::Start;
    case SB_BOTTOM: return ScrollAction::End;
    default: *known = false; return ScrollAction::Start;
    }
}

LRESULT handle_message(ListControl* list, HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_SIZE: update_scroll_bars(list); return 0;
    case WM_PAINT: paint_list(list); return 0;
    case WM_CONTEXTMENU: list_context_menu(list, lparam); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTALLKEYS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        uint32_t modifiers = (GetKeyState(VK_SHIFT) < 0 ? KeyModifier::Shift : 0) |
                             (GetKeyState(VK_MENU) < 0 ? KeyModifier::Alt : 0) |
                             (GetKeyState(VK_CONTROL) < 0 ? KeyModifier::Ctrl : 0);
        if (handle_list_key(list, static_cast<uint32_t>(wparam), modifiers)) return 0;
        break;
    }
    case WM_CHAR: list_type_ahead(list, static_cast<wchar_t>(wparam)); return 0;
    case WM_SYSKEYUP:
        if (wparam == VK_MENU && list->alt_click) {
            // Alt was held for a click, not to open the menu bar.
            list->alt_click = 0;
            return 0;
        }
        break;
    case WM_SYSCHAR:
        if (wparam == VK_SPACE) break;
        return 0;
    case WM_VSCROLL:
    case WM_HSCROLL: list_scroll(list, message == WM_HSCROLL, wparam); return 0;
    case WM_MOUSEMOVE: list_mouse_move(list, wparam, lparam); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN: list_mouse_button(list, message, wparam, lparam); return 0;
    case WM_CAPTURECHANGED: list->drag_selecting = 0; return 0;
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL: list_wheel(list, message == WM_MOUSEHWHEEL, wparam); return 0;
    case WM_XBUTTONUP:
        if (list->doc)
            run_command(list->doc, GET_XBUTTON_WPARAM(wparam) == XBUTTON1 ? CommandId::Back : CommandId::Forward);
        return TRUE;
    case MSG_LIST_WIDEST_LINE: update_h_scroll(list); return 0;
    case WM_NCDESTROY:
        release_slot(&list->slot);
        release_row_paint(&list->paint);
        list->window = nullptr;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        break;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

LRESULT CALLBACK list_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* list = static_cast<ListControl*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        list->window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(list));
        return DefWindowProcW(window, message, wparam, lparam);
    }
    auto* list = reinterpret_cast<ListControl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!list) return DefWindowProcW(window, message, wparam, lparam);
    return handle_message(list, window, message, wparam, lparam);
}

}  // namespace

bool register_list_class(HINSTANCE instance) {
    WNDCLASSEXW list_class = {};
    list_class.cbSize = sizeof list_class;
    list_class.style = CS_DBLCLKS;
    list_class.lpfnWndProc = list_procedure;
    list_class.hInstance = instance;
    list_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    list_class.lpszClassName = LIST_CLASS;
    return RegisterClassExW(&list_class) != 0;
}

bool create_list(ListControl* list, HWND parent, int32_t control_id) {
    list->paint = row_paint();
    list->synced_node = NO_NODE;
    HWND window = CreateWindowExW(0, LIST_CLASS, L"", WS_CHILD | WS_VSCROLL | WS_TABSTOP, 0, 0, 0, 0, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id)),
                                  reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), list);
    return window != nullptr;
}

ListMetrics list_metrics(const ListControl* list) {
    const ViewState* view = view_of(list);
    ListMetrics metrics = {};
    metrics.row_count = view ? visible_row_count(view) : 0;
    metrics.client_height = list->window ? client_size(list).cy : 0;
    metrics.row_height = list->fonts ? list->fonts->row_height : 0;
    return metrics;
}

void update_scroll_bars(ListControl* list) { refresh_bars(list, true); }

void update_h_scroll(ListControl* list) { refresh_bars(list, false); }

void scroll_sideways(ListControl* list, int64_t wanted) {
    int32_t before = list->h_offset;
    list->h_offset = clamp_to_i32(wanted);
    update_h_scroll(list);
    if (list->h_offset != before) InvalidateRect(list->window, nullptr, FALSE);
}

void set_top_row(ListControl* list, uint32_t row) {
    ListMetrics metrics = list_metrics(list);
    uint32_t top = clamp_top_row(row, metrics);
    if (top == list->top_row) return;
    list->top_row = top;
    SCROLLINFO info = {sizeof info, SIF_POS, 0, 0, 0, vertical_scroll_bar(top, metrics).position, 0};
    SetScrollInfo(list->window, SB_VERT, &info, TRUE);
    InvalidateRect(list->window, nullptr, FALSE);
}

void scroll_row_into_view(ListControl* list, uint32_t row, bool centre) {
    set_top_row(list, ensure_row_visible(list->top_row, row, list_metrics(list), centre));
}

void sync_list(ListControl* list, bool centre) {
    ViewState* view = view_of(list);
    if (!view || !list->window) return;
    uint32_t count = visible_row_count(view);
    if (count != list->synced_row_count || !list->synced) {
        list->synced_row_count = count;
        update_scroll_bars(list);
    }
    uint32_t row = take_scroll_request(view);
    if (row != NO_LINE) scroll_row_into_view(list, row, centre);
    NodeId node = selected_node(view);
    uint32_t mode = view_mode(view);
    if (node != list->synced_node || mode != list->synced_mode || !list->synced) {
        // A view switch with an equal row count still needs the other
        // horizontal bar.
        if (mode != list->synced_mode) reset_h_scroll(list);
        list->synced_node = node;
        list->synced_mode = mode;
        list->synced = 1;
        notify_window(list->doc, Notice::TopBar | Notice::StatusBar);
    }
    InvalidateRect(list->window, nullptr, FALSE);
}

void list_notice(ListControl* list, uint32_t notices) {
    if (notices & Notice::NewView) {
        list->top_row = 0;
        list->synced = 0;
        list->widest_line = 0;
        list->h_offset = 0;
        update_scroll_bars(list);
        const ViewState* view = view_of(list);
        if (view && view->restored_top_row != NO_LINE) set_top_row(list, view->restored_top_row);
        sync_list(list, true);
        return;
    }
    if (notices & Notice::ResetHorizontalScroll) reset_h_scroll(list);
    if (notices & Notice::List) sync_list(list, (notices & Notice::CentreSelection) != 0);
}

void list_fonts_changed(ListControl* list) {
    list->widest_line = 0;
    update_scroll_bars(list);
    const ViewState* view = view_of(list);
    uint32_t row = view ? selected_row(view) : NO_LINE;
    if (row != NO_LINE) scroll_row_into_view(list, row, true);
    InvalidateRect(list->window, nullptr, FALSE);
}

void list_scroll(ListControl* list, bool horizontal, WPARAM wparam) {
    bool known = false;
    ScrollAction action = scroll_action(LOWORD(wparam), &known);
    if (!known) return;
    // The 16-bit position in wparam is too small for long documents.
    SCROLLINFO info = {sizeof info, SIF_TRACKPOS, 0, 0, 0, 0, 0};
    bool tracked = action == ScrollAction::Thumb && GetScrollInfo(list->window, horizontal ? SB_HORZ : SB_VERT, &info);
    if (horizontal) {
        int32_t thumb = tracked ? info.nTrackPos : list->h_offset;
        float digit = list->fonts ? list->fonts->digit_width : 0;
        scroll_sideways(list, horizontal_scroll_target(action, list->h_offset, thumb, digit, client_size(list).cx));
        return;
    }
    if (action == ScrollAction::Thumb && !tracked) return;
    set_top_row(list, vertical_scroll_target(action, list->top_row, info.nTrackPos, list_metrics(list)));
}
