#include "shell/placement.h"

#include "app/app.h"
#include "app/doc_window.h"
#include "app/pixels.h"
#include "shell/doc_frame.h"
#include "shell/dpi.h"

namespace {

constexpr int WIDTH = 1100;  // at 96 DPI
constexpr int HEIGHT = 760;
constexpr int CASCADE = 26;

WindowBounds cascaded(HWND newest, float scale) {
    RECT previous;
    GetWindowRect(newest, &previous);
    int step = scaled_pixels(CASCADE, scale);
    WindowBounds bounds{previous.left + step, previous.top + step, previous.right - previous.left,
                        previous.bottom - previous.top};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(newest, MONITOR_DEFAULTTONEAREST), &monitor)) return bounds;
    RECT work = monitor.rcWork;
    int64_t right = int64_t{bounds.x} + bounds.width;
    int64_t bottom = int64_t{bounds.y} + bounds.height;
    if (right > work.right || bottom > work.bottom) {
        bounds.x = work.left + step;
        bounds.y = work.top + step;
    }
    return bounds;
}

bool saved_rectangle_shown(const int32_t saved[4]) {
    if (saved[2] <= 0 || saved[3] <= 0) return false;
    RECT rect{saved[0], saved[1], clamp_to_i32(int64_t{saved[0]} + saved[2]), clamp_to_i32(int64_t{saved[1]} + saved[3])};
    return MonitorFromRect(&rect, MONITOR_DEFAULTTONULL) != nullptr;
}

}  // namespace

WindowBounds new_window_bounds(const App* app, const DocWindow* window) {
    float scale = static_cast<float>(window_dpi(nullptr)) / BASE_DPI;
    WindowBounds bounds{CW_USEDEFAULT, CW_USEDEFAULT, scaled_pixels(WIDTH, scale), scaled_pixels(HEIGHT, scale)};
    HWND newest = window->next ? doc_frame_handle(window->next) : nullptr;
    if (newest && !IsIconic(newest)) return cascaded(newest, scale);
    if (newest) return bounds;
    const int32_t* saved = app->settings.window;
    if (saved_rectangle_shown(saved)) return WindowBounds{saved[0], saved[1], saved[2], saved[3]};
    bounds.width = CW_USEDEFAULT;
    bounds.height = CW_USEDEFAULT;
    return bounds;
}
