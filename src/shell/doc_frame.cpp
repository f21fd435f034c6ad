// The document window: creating and destroying it with its children, laying
// them out, and one named function per message it handles.
#include "shell/doc_frame.h"

#include <shellapi.h>

#include <cstring>
#include <new>

#include "app/app.h"
#include "app/commands.h"
#include "app/doc_window.h"
#include "app/open_file.h"
#include "app/reload.h"
#include "app/window_layout.h"
#include "app/window_placement.h"
#include "base/memory.h"
#include "base/wide_text_win.h"
#include "files/settings.h"
#include "shell/dpi.h"
#include "shell/inspector.h"
#include "shell/menus.h"
#include "shell/panels.h"
#include "shell/placement.h"
#include "shell/process.h"
#include "shell/theme.h"
#include "shell/watcher.h"

namespace {

const wchar_t DOC_CLASS[] = L"Tarnwell.Doc";
const wchar_t PROGRAM_TITLE[] = L"Tarnwell";

ShellWindow* shell_of_handle(HWND window) {
    return reinterpret_cast<ShellWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

HWND create_child(ShellWindow* shell, const wchar_t* class_name, DWORD style, int id) {
    return CreateWindowExW(0, class_name, nullptr, WS_CHILD | WS_CLIPSIBLINGS | style, 0, 0, 0, 0, shell->window,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), process()->instance, shell->doc);
}

void list_menu(ListControl* list, POINT screen) {
    if (list->doc) show_list_menu(list->doc, screen.x, screen.y);
}

bool create_children(ShellWindow* shell) {
    shell->top_bar = create_child(shell, TOP_BAR_CLASS, WS_VISIBLE | WS_CLIPCHILDREN, 0);
    shell->message_bar = create_child(shell, BAR_CLASS, 0, MESSAGE_BAR_ID);
    shell->problem_bar = create_child(shell, BAR_CLASS, 0, PROBLEM_BAR_ID);
    shell->list.doc = shell->doc;
    shell->list.fonts = &shell->fonts;
    shell->list.scale = shell->scale;
    shell->list.context_menu = list_menu;
    if (!create_list(&shell->list, shell->window, 0)) return false;
    if (!create_inspector(shell)) return false;
    shell->status_bar = create_child(shell, BAR_CLASS, 0, STATUS_BAR_ID);
    shell->start_page = create_child(shell, START_PAGE_CLASS, 0, 0);
    return shell->top_bar && shell->message_bar && shell->problem_bar && shell->status_bar && shell->start_page;
}

void place(HDWP* batch, HWND child, PixelRect rect, bool shown) {
    if (!*batch) return;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (shown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
    *batch = DeferWindowPos(*batch, child, nullptr, rect.x, rect.y, rect.width, rect.height, flags);
}

void apply_title(ShellWindow* shell) {
    char title[TITLE_SIZE];
    doc_window_title(shell->doc, title, sizeof title);
    wchar_t* wide = utf8_to_utf16(title, std::strlen(title));
    SetWindowTextW(shell->window, wide ? wide : PROGRAM_TITLE);
    mem_free(wide);
}

void bring_forward(HWND window) {
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
}

void focus_content(ShellWindow* shell) {
    DocWindow* doc = shell->doc;
    if (doc && doc->start_page) SetFocus(shell->start_page);
    else SetFocus(doc && doc->goto_mode ? shell->top.goto_box : shell->list.window);
}

// Timer 5: the normal rectangle goes to Settings "window".
void remember_placement(ShellWindow* shell) {
    KillTimer(shell->window, DocTimer::Placement);
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(shell->window, &placement)) return;
    RECT r = placement.rcNormalPosition;
    ScreenRect normal{r.left, r.top, r.right, r.bottom};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(shell->window, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& m = monitor.rcMonitor;
        const RECT& w = monitor.rcWork;
        normal = normal_rect_on_screen(normal, {m.left, m.top, m.right, m.bottom}, {w.left, w.top, w.right, w.bottom});
    }
    remember_window_rect(&process()->program.app, normal, IsIconic(shell->window) != 0);
}

LRESULT on_create(ShellWindow* shell) {
    shell->dpi = window_dpi(shell->window);
    shell->scale = static_cast<float>(shell->dpi) / BASE_DPI;
    create_fonts(&shell->fonts, static_cast<int32_t>(shell->dpi), font_size_or_default(&process()->program.app.settings));
    if (!create_children(shell)) return -1;
    apply_title_bar(shell->window);
    apply_control_theme(shell->list.window);
    DragAcceptFiles(shell->window, TRUE);
    apply_title(shell);
    layout_doc_window(shell);
    return 0;
}

void on_size(ShellWindow* shell, WPARAM kind) {
    layout_doc_window(shell);
    if (kind != SIZE_MINIMIZED) SetTimer(shell->window, DocTimer::Placement, DocTimer::PlacementDelayMs, nullptr);
}

// The portable half leaves first; destroy_doc_frame then lets go of the rest.
void on_destroy(ShellWindow* shell) {
    shell->destroying = 1;
    if (shell->doc) close_doc_window(shell->doc);
}

// This can arrive before WM_NCCREATE, with no ShellWindow yet: the window's
// own DPI serves then.
void on_get_min_max_info(HWND window, ShellWindow* shell, MINMAXINFO* info) {
    uint32_t dpi = shell && shell->dpi ? shell->dpi : window_dpi(window);
    PixelPoint minimum = minimum_window_size(static_cast<float>(dpi) / BASE_DPI);
    info->ptMinTrackSize.x = minimum.x;
    info->ptMinTrackSize.y = minimum.y;
}

void on_timer(ShellWindow* shell, WPARAM id) {
    if (id == DocTimer::Placement) remember_placement(shell);
    else if (shell->doc) doc_window_timer(shell->doc, static_cast<uint32_t>(id));
    else KillTimer(shell->window, id);
}

// Each file in order, with this window: the first may land in it, the
// others then open windows of their own.
void on_drop_files(ShellWindow* shell, HDROP drop) {
    UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; i++) {
        UINT units = DragQueryFileW(drop, i, nullptr, 0);
        wchar_t* name = mem_alloc_array<wchar_t>(static_cast<uint64_t>(units) + 1);
        if (name && DragQueryFileW(drop, i, name, units + 1) == units) {
            char* path = utf16_to_utf8(name, units);
            // An earlier open may have closed the window (a failed read does).
            DocWindow* doc = shell_of_handle(shell->window) ? shell->doc : nullptr;
            if (path) open_path(&process()->program.app, doc, path);
            mem_free(path);
        }
        mem_free(name);
        if (!IsWindow(shell->window) || !shell_of_handle(shell->window)) break;
    }
    DragFinish(drop);
}

void on_dpi_changed(ShellWindow* shell, WPARAM dpi, const RECT* suggested) {
    shell->dpi = LOWORD(dpi) ? LOWORD(dpi) : BASE_DPI;
    shell->scale = static_cast<float>(shell->dpi) / BASE_DPI;
    shell->list.scale = shell->scale;
    rebuild_fonts(shell);
    SetWindowPos(shell->window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    layout_doc_window(shell);
    RedrawWindow(shell->window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

bool on_app_command(ShellWindow* shell, LPARAM lparam) {
    short command = GET_APPCOMMAND_LPARAM(lparam);
    if (command == APPCOMMAND_BROWSER_BACKWARD) run_command(shell->doc, CommandId::Back);
    else if (command == APPCOMMAND_BROWSER_FORWARD) run_command(shell->doc, CommandId::Forward);
    else return false;
    return true;
}

LRESULT on_ctl_color(HDC dc) {
    SetTextColor(dc, palette_colorref(Colour::Text));
    SetBkColor(dc, palette_colorref(Colour::ViewBackground));
    return reinterpret_cast<LRESULT>(palette_brush(Colour::ViewBackground));
}

LRESULT on_erase_background(ShellWindow* shell, HDC dc) {
    RECT client;
    GetClientRect(shell->window, &client);
    FillRect(dc, &client, palette_brush(Colour::ViewBackground));
    return 1;
}

void attach_shell(HWND window, const CREATESTRUCTW* creation) {
    auto* shell = static_cast<ShellWindow*>(creation->lpCreateParams);
    shell->window = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(shell));
}

LRESULT CALLBACK doc_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) attach_shell(window, reinterpret_cast<const CREATESTRUCTW*>(lparam));
    ShellWindow* shell = shell_of_handle(window);
    if (message == WM_GETMINMAXINFO) {
        on_get_min_max_info(window, shell, reinterpret_cast<MINMAXINFO*>(lparam));
        return 0;
    }
    if (!shell || !shell->doc) return DefWindowProcW(window, message, wparam, lparam);
    switch (message) {
    case WM_CREATE: return on_create(shell);
    case WM_SIZE: on_size(shell, wparam); return 0;
    case WM_MOVE: SetTimer(window, DocTimer::Placement, DocTimer::PlacementDelayMs, nullptr); return 0;
    case WM_SETFOCUS: focus_content(shell); return 0;
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_DESTROY: on_destroy(shell); return 0;
    case WM_ERASEBKGND: return on_erase_background(shell, reinterpret_cast<HDC>(wparam));
    case WM_COMMAND:
        if (lparam == 0) run_command(shell->doc, LOWORD(wparam));
        return 0;
    case WM_TIMER: on_timer(shell, wparam); return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: return on_ctl_color(reinterpret_cast<HDC>(wparam));
    case WM_DROPFILES: on_drop_files(shell, reinterpret_cast<HDROP>(wparam)); return 0;
    case WM_DPICHANGED: on_dpi_changed(shell, wparam, reinterpret_cast<const RECT*>(lparam)); return 0;
    case WM_SETTINGCHANGE: on_setting_change(reinterpret_cast<const wchar_t*>(lparam)); break;
    case WM_APPCOMMAND:
        if (on_app_command(shell, lparam)) return TRUE;
        break;
    case MSG_FILE_CHANGED: file_change_notice(shell->doc, GetTickCount64()); return 0;
    default: break;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

bool register_doc_classes(HINSTANCE instance) {
    WNDCLASSEXW doc{};
    doc.cbSize = sizeof doc;
    doc.style = CS_HREDRAW | CS_VREDRAW;
    doc.lpfnWndProc = doc_window_proc;
    doc.hInstance = instance;
    doc.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                              GetSystemMetrics(SM_CYICON), 0));
    doc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    doc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    doc.lpszClassName = DOC_CLASS;
    return RegisterClassExW(&doc) && register_panel_classes(instance);
}

bool create_doc_frame(void*, DocWindow* doc) {
    void* memory = mem_alloc_zeroed(sizeof(ShellWindow));
    if (!memory) return false;
    auto* shell = new (memory) ShellWindow{};
    shell->doc = doc;
    doc->platform = shell;
    WindowBounds bounds = new_window_bounds(&process()->program.app, doc);
    HWND window = CreateWindowExW(WS_EX_ACCEPTFILES, DOC_CLASS, PROGRAM_TITLE, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                  bounds.x, bounds.y, bounds.width, bounds.height, nullptr, nullptr,
                                  process()->instance, shell);
    if (!window) {
        doc->platform = nullptr;
        mem_free(shell);
        return false;
    }
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    return true;
}

// The children go first, while the ShellWindow they were made with still
// exists; then the window, unless it is already being destroyed.
void destroy_doc_frame(void*, DocWindow* doc) {
    ShellWindow* shell = shell_of(doc);
    if (!shell) return;
    script_window_closed(&process()->program.script, doc);
    stop_watching(shell->watcher);
    shell->watcher = nullptr;
    HWND window = shell->window;
    HWND children[] = {shell->top_bar,    shell->message_bar, shell->problem_bar, shell->list.window,
                       shell->split_bar, shell->inspector,   shell->status_bar,  shell->start_page};
    for (HWND child : children) {
        if (child) DestroyWindow(child);
    }
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    if (!shell->destroying) DestroyWindow(window);
    release_top_bar(shell);
    release_slot(&shell->start_slot);
    for (RenderSlot& slot : shell->bar_slots) release_slot(&slot);
    release_fonts(&shell->fonts);
    doc->platform = nullptr;
    mem_free(shell);
}

HWND doc_frame_handle(const DocWindow* window) {
    ShellWindow* shell = shell_of(window);
    return shell ? shell->window : nullptr;
}

ShellWindow* shell_of(const DocWindow* window) { return window ? static_cast<ShellWindow*>(window->platform) : nullptr; }

DocWindow* find_doc_window(HWND any) {
    HWND root = any ? GetAncestor(any, GA_ROOT) : nullptr;
    for (DocWindow* doc = process()->program.app.windows; doc; doc = doc->next) {
        if (doc_frame_handle(doc) == root) return doc;
    }
    return nullptr;
}

void watch_shown_file(DocWindow* window) {
    ShellWindow* shell = shell_of(window);
    if (!shell || !window->path || shell->watcher) return;
    shell->watcher = start_watching(shell->window, window->path);
    if (shell->watcher) PostMessageW(shell->window, MSG_FILE_CHANGED, 0, 0);
}

void layout_doc_window(ShellWindow* shell) {
    DocWindow* doc = shell->doc;
    if (!doc || !shell->list.window) return;
    RECT client;
    GetClientRect(shell->window, &client);
    DocLayout layout = doc_window_layout(doc_layout_input(doc, client.right, client.bottom, shell->scale));
    HDWP batch = BeginDeferWindowPos(8);
    place(&batch, shell->top_bar, layout.top_bar, true);
    place(&batch, shell->message_bar, layout.message_bar, layout.message_bar_shown);
    place(&batch, shell->problem_bar, layout.problem_bar, layout.problem_bar_shown);
    place(&batch, shell->start_page, layout.start_page, layout.start_page_shown);
    place(&batch, shell->list.window, layout.list, !layout.start_page_shown);
    place(&batch, shell->split_bar, layout.split_bar, layout.inspector_shown);
    place(&batch, shell->inspector, layout.inspector, layout.inspector_shown);
    place(&batch, shell->status_bar, layout.status_bar, !layout.start_page_shown);
    if (batch) EndDeferWindowPos(batch);
    // The edit control puts its text area back to its whole client area when sized.
    if (layout.inspector_shown) set_inspector_margins(shell);
}

void rebuild_fonts(ShellWindow* shell) {
    Fonts fresh{};
    create_fonts(&fresh, static_cast<int32_t>(shell->dpi), font_size_or_default(&process()->program.app.settings));
    Fonts old = shell->fonts;
    shell->fonts = fresh;
    reset_inspector_font(shell);
    release_fonts(&old);
    list_fonts_changed(&shell->list);
    lay_out_top_bar(shell);
}

void doc_frame_notify(void*, DocWindow* doc, uint32_t notices) {
    ShellWindow* shell = shell_of(doc);
    if (!shell) return;
    if (notices & Notice::Title) apply_title(shell);
    if (notices & Notice::Layout) layout_doc_window(shell);
    top_bar_notice(shell, notices);
    if (notices & Notice::StatusBar) InvalidateRect(shell->status_bar, nullptr, FALSE);
    if (notices & Notice::MessageBar) InvalidateRect(shell->message_bar, nullptr, FALSE);
    if (notices & Notice::StartPage) InvalidateRect(shell->start_page, nullptr, FALSE);
    list_notice(&shell->list, notices);
    // The selection, the view or the path style may have changed.
    constexpr uint32_t INSPECTOR_NEWS =
        Notice::Inspector | Notice::NewView | Notice::List | Notice::StatusBar | Notice::Layout | Notice::Everything;
    if (notices & INSPECTOR_NEWS) refresh_inspector(shell, (notices & (Notice::Inspector | Notice::NewView)) != 0);
    if (notices & Notice::Everything) RedrawWindow(shell->window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    if (notices & Notice::FocusList) SetFocus(shell->list.window);
    if ((notices & Notice::FocusListIfForeground) && GetForegroundWindow() == shell->window) SetFocus(shell->list.window);
    if (notices & Notice::BringForward) bring_forward(shell->window);
}

void start_doc_timer(void*, DocWindow* doc, uint32_t id, uint32_t milliseconds) {
    if (HWND window = doc_frame_handle(doc)) SetTimer(window, id, milliseconds, nullptr);
}

void stop_doc_timer(void*, DocWindow* doc, uint32_t id) {
    if (HWND window = doc_frame_handle(doc)) KillTimer(window, id);
}
