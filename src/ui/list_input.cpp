#include <windowsx.h>

#include "app/commands.h"
#include "app/doc_window.h"
#include "app/key_bindings.h"
#include "ui/list.h"
#include "views/view_state.h"

namespace {

ViewState* view_of(const ListControl* list) { return list->doc ? list->doc->view : nullptr; }

bool text_view_shown(const ListControl* list) {
    const ViewState* view = view_of(list);
    return view && view_mode(view) == VIEW_MODE_TEXT;
}

float digit_width(const ListControl* list) { return list->fonts ? list->fonts->digit_width : 0; }

int32_t client_width(const ListControl* list) {
    RECT client = {};
    GetClientRect(list->window, &client);
    return client.right - client.left;
}

// Keys the list hands on: the movement keys, Space, Enter, Esc, F3, F5,
// letters, digits and the four punctuation keys of the shortcuts.
bool list_key(uint32_t key) {
    if (view_key_of(key) != 0) return true;
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return true;
    return key == VirtualKey::OpenBracket || key == VirtualKey::CloseBracket || key == VirtualKey::Equals ||
           key == VirtualKey::Minus;
}

// A tree row's press: the depth and chevron come from the row's paint record,
// and a double click on the chevron counts as one click on it.
void tree_press(ListControl* list, ViewState* view, uint32_t row, int32_t x, WPARAM wparam, bool double_click) {
    paint_row(view, row, 1, &list->paint);
    RowGeometry geometry = row_geometry(list->paint.depth, client_width(list), list->scale, digit_width(list));
    bool on_chevron = false;
    float fx = static_cast<float>(x);
    if (list->paint.chevron && fx >= geometry.chevron_x) {
        float chevron_end = geometry.chevron_x + 16 * list->scale;
        on_chevron = fx < chevron_end;
        double_click = double_click && fx >= chevron_end;
    }
    uint32_t modifiers = (wparam & MK_SHIFT) ? KeyModifier::Shift : 0;
    if (GetKeyState(VK_MENU) < 0) {
        modifiers |= KeyModifier::Alt;
        list->alt_click = 1;
    }
    if (double_click)
        double_click_row(view, row);
    else
        click_row(view, row, on_chevron, modifiers);
    sync_list(list, false);
}

}  // namespace

bool handle_list_key(ListControl* list, uint32_t key, uint32_t modifiers) {
    if (!list_key(key) || !list->doc) return false;
    ViewState* view = view_of(list);
    if (view) {
        uint32_t view_key = view_key_of(key);
        if (view_key && navigate_key(view, view_key, modifiers, page_rows(list_metrics(list)))) {
            sync_list(list, centre_after_view_key(view_key, modifiers));
            return true;
        }
        bool sideways = key == VirtualKey::Left || key == VirtualKey::Right;
        if (sideways && text_view_shown(list) && !(modifiers & (KeyModifier::Alt | KeyModifier::Ctrl))) {
            ScrollAction action = key == VirtualKey::Left ? ScrollAction::LineBack : ScrollAction::LineForward;
            scroll_sideways(list, horizontal_scroll_target(action, list->h_offset, 0, digit_width(list),
                                                           client_width(list)));
            return true;
        }
    }
    uint32_t command = accelerator_command_id(key, modifiers);
    if (command == NO_COMMAND) return false;
    run_command(list->doc, command);  // the window may be gone afterwards
    return true;
}

void list_type_ahead(ListControl* list, wchar_t unit) {
    uint32_t code = static_cast<uint16_t>(unit);
    if (code >= 0xD800 && code <= 0xDBFF) {
        list->pending_surrogate = static_cast<uint16_t>(code);
        return;
    }
    if (code >= 0xDC00 && code <= 0xDFFF) {
        if (!list->pending_surrogate) return;
        code = 0x10000 + ((list->pending_surrogate - 0xD800u) << 10) + (code - 0xDC00);
    }
    list->pending_surrogate = 0;
    if (code <= 0x20 || code == 0x7F) return;
    ViewState* view = view_of(list);
    if (view && type_ahead(view, code, GetTickCount64())) sync_list(list, true);
}

void list_mouse_button(ListControl* list, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_LBUTTONUP) {
        if (list->drag_selecting) {
            list->drag_selecting = 0;
            ReleaseCapture();
        }
        return;
    }
    SetFocus(list->window);
    ViewState* view = view_of(list);
    if (!view) return;
    int32_t x = GET_X_LPARAM(lparam);
    uint32_t row = row_at_y(GET_Y_LPARAM(lparam), list->top_row, list_metrics(list));
    if (row == NO_ROW) return;
    if (message == WM_RBUTTONDOWN) {
        // The context menu that follows acts on the row under the pointer,
        // or on the whole selected range when the pointer is inside it.
        if (!row_is_selected(view, row)) {
            click_row(view, row, false, 0);
            sync_list(list, false);
        }
        return;
    }
    bool double_click = message == WM_LBUTTONDBLCLK;
    if (!text_view_shown(list)) {
        tree_press(list, view, row, x, wparam, double_click);
        return;
    }
    if (double_click)
        double_click_row(view, row);
    else
        click_row(view, row, false, (wparam & MK_SHIFT) ? KeyModifier::Shift : 0);
    list->drag_selecting = 1;
    SetCapture(list->window);
    sync_list(list, false);
}

void list_mouse_move(ListControl* list, WPARAM wparam, LPARAM lparam) {
    if (!(wparam & MK_LBUTTON) || !list->drag_selecting || !text_view_shown(list)) return;
    ViewState* view = view_of(list);
    // Past the top or bottom edge this scrolls one row per mouse message,
    // through the scroll request.
    uint32_t row = drag_row_at_y(GET_Y_LPARAM(lparam), list->top_row, list_metrics(list));
    if (row == NO_ROW || row == selected_row(view)) return;
    click_row(view, row, false, KeyModifier::Shift);
    sync_list(list, false);
}

void list_wheel(ListControl* list, bool horizontal, WPARAM wparam) {
    WheelTurn turn = take_wheel_notches(&list->wheel_remainder, GET_WHEEL_DELTA_WPARAM(wparam));
    if (turn.notches == 0) return;
    WORD keys = GET_KEYSTATE_WPARAM(wparam);
    if (horizontal || (keys & MK_SHIFT && !(keys & MK_CONTROL))) {
        if (!text_view_shown(list)) return;
        int32_t notches = horizontal ? turn.notches : -turn.notches;
        scroll_sideways(list, horizontal_wheel_offset(list->h_offset, notches, digit_width(list)));
        return;
    }
    if (keys & MK_CONTROL) {
        // However fast the wheel turns, one message zooms by one step.
        if (list->doc) run_command(list->doc, turn.zoom > 0 ? CommandId::BiggerText : CommandId::SmallerText);
        return;
    }
    set_top_row(list, wheel_top_row(list->top_row, turn.notches, list_metrics(list)));
}

void list_context_menu(ListControl* list, LPARAM lparam) {
    if (!list->context_menu) return;
    POINT point = {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
    if (lparam == -1) {
        const ViewState* view = view_of(list);
        PixelPoint below = keyboard_menu_point(list->scale, list->top_row, view ? selected_row(view) : NO_LINE,
                                               list_metrics(list));
        point = {below.x, below.y};
        ClientToScreen(list->window, &point);
    }
    list->context_menu(list, point);
}
