#include "shell/placement.h"

#include "app/app.h"
#include "app/doc_window.h"
#include "app/window_placement.h"
#include "shell/doc_frame.h"
#include "shell/dpi.h"

namespace {

// Enough for any desk; monitors past it are not looked at.
constexpr uint32_t MONITORS_MAX = 16;

struct MonitorList {
    ScreenRect rects[MONITORS_MAX];
    uint32_t count;
};

ScreenRect screen_rect(const RECT& rect) { return ScreenRect{rect.left, rect.top, rect.right, rect.bottom}; }

BOOL CALLBACK add_monitor(HMONITOR, HDC, LPRECT rect, LPARAM list_address) {
    auto* list = reinterpret_cast<MonitorList*>(list_address);
    if (list->count < MONITORS_MAX) list->rects[list->count++] = screen_rect(*rect);
    return TRUE;
}

WindowBounds bounds_of(PixelRect rect) { return WindowBounds{rect.x, rect.y, rect.width, rect.height}; }

WindowBounds cascaded(HWND newest, float scale) {
    RECT previous{};
    GetWindowRect(newest, &previous);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(newest, MONITOR_DEFAULTTONEAREST), &monitor)) {
        monitor.rcWork = RECT{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    }
    return bounds_of(cascade_window_rect(screen_rect(previous), screen_rect(monitor.rcWork), scale));
}

}  // namespace

WindowBounds new_window_bounds(const App* app, const DocWindow* window) {
    float scale = static_cast<float>(window_dpi(nullptr)) / BASE_DPI;
    HWND newest = window->next ? doc_frame_handle(window->next) : nullptr;
    if (newest && !IsIconic(newest)) return cascaded(newest, scale);
    PixelRect saved;
    MonitorList monitors{};
    EnumDisplayMonitors(nullptr, nullptr, add_monitor, reinterpret_cast<LPARAM>(&monitors));
    if (!newest && saved_window_rect(app->settings.window, monitors.rects, monitors.count, &saved)) {
        return bounds_of(saved);
    }
    PixelPoint size = new_window_size(scale);
    // The system places it, at the usual size.
    return WindowBounds{CW_USEDEFAULT, CW_USEDEFAULT, size.x, size.y};
}
