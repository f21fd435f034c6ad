// The top bar's two edit boxes: the search box, whose keys and text go to
// the portable search box, and the go-to box over the breadcrumbs.
#include <windows.h>
#include <commctrl.h>

#include "app/doc_window.h"
#include "app/goto_box.h"
#include "app/search_box.h"
#include "base/memory.h"
#include "base/wide_text_win.h"
#include "shell/doc_frame.h"
#include "shell/process.h"
#include "shell/top_bar.h"

namespace {

// Enter and Escape act on their WM_KEYDOWN; their characters would only beep.
bool swallowed_char(WPARAM unit) { return unit == 0x0A || unit == 0x0D || unit == 0x1B; }

ShellWindow* shell_with_doc(DWORD_PTR data) {
    auto* shell = reinterpret_cast<ShellWindow*>(data);
    return shell && shell->doc ? shell : nullptr;
}

// The box's text in UTF-8 ("" for an empty box); nullptr without memory.
char* box_text(HWND box, uint32_t* length) {
    int units = GetWindowTextLengthW(box);
    wchar_t* wide = mem_alloc_array<wchar_t>(static_cast<uint64_t>(units > 0 ? units : 0) + 1);
    if (!wide) return nullptr;
    int read = GetWindowTextW(box, wide, units + 1);
    char* text = utf16_to_utf8(wide, static_cast<uint64_t>(read > 0 ? read : 0), length);
    mem_free(wide);
    return text;
}

bool set_box_text(HWND box, const char* text, uint64_t length) {
    wchar_t* wide = utf8_to_utf16(text ? text : "", text ? length : 0);
    if (!wide) return false;
    SetWindowTextW(box, wide);
    mem_free(wide);
    return true;
}

// Enter, Shift+Enter and Escape of either box; false for any other key.
bool box_key(ShellWindow* shell, UINT_PTR box_id, WPARAM key) {
    if (key != VK_RETURN && key != VK_ESCAPE) return false;
    DocWindow* doc = shell->doc;
    if (box_id == SEARCH_BOX_ID) {
        if (key == VK_RETURN) search_box_enter(doc, GetKeyState(VK_SHIFT) < 0);
        else clear_search(doc);
    } else if (key == VK_RETURN) {
        submit_goto(shell);
    } else {
        close_go_to_box(doc);
    }
    return true;
}

// Both boxes' subclass; its id is the box's control id.
LRESULT CALLBACK edit_box_proc(HWND box, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR box_id,
                               DWORD_PTR data) {
    ShellWindow* shell = shell_with_doc(data);
    switch (message) {
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | DefSubclassProc(box, message, wparam, lparam);
    case WM_KEYDOWN:
        if (shell && box_key(shell, box_id, wparam)) return 0;
        break;
    case WM_CHAR:
        if (swallowed_char(wparam)) return 0;
        break;
    case WM_KILLFOCUS:
        if (shell && box_id == GOTO_BOX_ID && shell->doc->goto_mode)
            PostMessageW(shell->top_bar, MSG_GOTO_FOCUS_LOST, 0, 0);
        break;
    case WM_NCDESTROY: RemoveWindowSubclass(box, edit_box_proc, box_id); break;
    default: break;
    }
    return DefSubclassProc(box, message, wparam, lparam);
}

HWND create_box(ShellWindow* shell, int id) {
    HWND box = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 0, 0, shell->top_bar,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), process()->instance, nullptr);
    if (box && !SetWindowSubclass(box, edit_box_proc, static_cast<UINT_PTR>(id), reinterpret_cast<DWORD_PTR>(shell))) {
        DestroyWindow(box);
        return nullptr;
    }
    return box;
}

}  // namespace

bool create_top_bar_boxes(ShellWindow* shell) {
    shell->top.goto_box = create_box(shell, GOTO_BOX_ID);
    shell->top.search_box = create_box(shell, SEARCH_BOX_ID);
    return shell->top.goto_box && shell->top.search_box;
}

// A box already open keeps what was typed in it.
void open_goto_box(ShellWindow* shell) {
    HWND box = shell->top.goto_box;
    if (shell->doc->goto_mode) {
        SetFocus(box);
        return;
    }
    uint64_t length = 0;
    char* text = go_to_box_text(shell->doc, &length);
    if (!text) return;
    // Filled while still hidden, so that no edit of an open box is seen.
    const bool filled = set_box_text(box, text, length);
    mem_free(text);
    if (!filled) return;
    go_to_box_opened(shell->doc);
    place_top_bar_children(shell);
    ShowWindow(box, SW_SHOW);
    SetFocus(box);
    SendMessageW(box, EM_SETSEL, 0, -1);
}

void submit_goto(ShellWindow* shell) {
    if (!shell->doc->view) return;
    uint32_t length = 0;
    char* text = box_text(shell->top.goto_box, &length);
    if (!text) return;
    (void)submit_go_to_path(shell->doc, text, length);
    mem_free(text);
}

void enter_goto_path(void*, DocWindow* window, const char* text, uint64_t length) {
    ShellWindow* shell = shell_of(window);
    if (!shell) return;
    open_goto_box(shell);
    if (window->goto_mode && set_box_text(shell->top.goto_box, text, length)) submit_goto(shell);
}

// The focus may have come back to the box itself (a click inside it).
void goto_focus_lost(ShellWindow* shell) {
    if (GetFocus() != shell->top.goto_box) close_go_to_box(shell->doc);
}

void goto_box_changed(ShellWindow* shell) {
    if (shell->doc->goto_mode) go_to_box_edited(shell->doc);
}

void search_text_changed(ShellWindow* shell) {
    if (shell->doc->search_box.suppress) return;
    uint32_t length = 0;
    char* text = box_text(shell->top.search_box, &length);
    if (!text) return;
    search_box_changed(shell->doc, text, length);
    mem_free(text);
}

// The program set the text: the box shows it without starting a search,
// as the portable half holds its suppress flag meanwhile.
void show_search_text(ShellWindow* shell) {
    const SearchBox& box = shell->doc->search_box;
    (void)set_box_text(shell->top.search_box, box.text, box.length);
}

void focus_search_box(ShellWindow* shell) {
    if (!shell->doc->view) return;
    SetFocus(shell->top.search_box);
    SendMessageW(shell->top.search_box, EM_SETSEL, 0, -1);
}
