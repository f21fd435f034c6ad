#include "shell/panels.h"

#include "shell/doc_frame.h"
#include "shell/inspector.h"
#include "shell/top_bar.h"
#include "ui/drawing.h"

namespace {

bool register_panel(HINSTANCE instance, const wchar_t* name, WNDPROC procedure) {
    WNDCLASSEXW panel{};
    panel.cbSize = sizeof panel;
    panel.lpfnWndProc = procedure;
    panel.hInstance = instance;
    panel.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    panel.lpszClassName = name;
    return RegisterClassExW(&panel) != 0;
}

}  // namespace

bool register_panel_classes(HINSTANCE instance) {
    return register_panel(instance, TOP_BAR_CLASS, top_bar_proc) &&
           register_panel(instance, BAR_CLASS, bar_proc) &&
           register_panel(instance, SPLIT_CLASS, split_bar_proc) &&
           register_panel(instance, START_PAGE_CLASS, start_page_proc);
}

ShellWindow* panel_shell(HWND window, UINT message, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        void* doc = reinterpret_cast<const CREATESTRUCTW*>(lparam)->lpCreateParams;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(doc));
    }
    return shell_of(reinterpret_cast<DocWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA)));
}

void track_mouse_leave(HWND window) {
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = window;
    TrackMouseEvent(&track);
}
