#include "app/window_placement.h"

#include <algorithm>

#include "app/app.h"

namespace {

bool window_rect_to_save(const ScreenRect& normal, int32_t saved[4]) {
    const int64_t width = int64_t{normal.right} - normal.left;
    const int64_t height = int64_t{normal.bottom} - normal.top;
    if (width <= 99 || height <= 99 || width > INT32_MAX || height > INT32_MAX) return false;
    saved[0] = normal.left;
    saved[1] = normal.top;
    saved[2] = static_cast<int32_t>(width);
    saved[3] = static_cast<int32_t>(height);
    return true;
}

}  // namespace

PixelPoint new_window_size(float system_scale) {
    return {scaled_pixels(1100, system_scale), scaled_pixels(760, system_scale)};
}

PixelPoint minimum_window_size(float scale) { return {scaled_pixels(360, scale), scaled_pixels(240, scale)}; }

PixelRect cascade_window_rect(const ScreenRect& newest, const ScreenRect& work_area, float system_scale) {
    const int64_t step = scaled_pixels(26, system_scale);
    const int64_t width = int64_t{newest.right} - newest.left;
    const int64_t height = int64_t{newest.bottom} - newest.top;
    int64_t left = newest.left + step;
    int64_t top = newest.top + step;
    if (left + width > work_area.right || top + height > work_area.bottom) {
        left = work_area.left + step;
        top = work_area.top + step;
    }
    return {clamp_to_i32(left), clamp_to_i32(top), clamp_to_i32(width), clamp_to_i32(height)};
}

bool saved_window_rect(const int32_t saved[4], const ScreenRect* monitors, uint32_t monitor_count, PixelRect* rect) {
    const int64_t left = saved[0], top = saved[1], width = saved[2], height = saved[3];
    if (width <= 0 || height <= 0) return false;
    const int64_t right = left + width, bottom = top + height;
    for (uint32_t i = 0; i < monitor_count; i++) {
        const ScreenRect& m = monitors[i];
        if (std::max<int64_t>(left, m.left) < std::min<int64_t>(right, m.right) &&
            std::max<int64_t>(top, m.top) < std::min<int64_t>(bottom, m.bottom)) {
            *rect = {saved[0], saved[1], saved[2], saved[3]};
            return true;
        }
    }
    return false;
}

ScreenRect normal_rect_on_screen(const ScreenRect& normal, const ScreenRect& monitor, const ScreenRect& work_area) {
    const int64_t dx = int64_t{work_area.left} - monitor.left;
    const int64_t dy = int64_t{work_area.top} - monitor.top;
    return {clamp_to_i32(normal.left + dx), clamp_to_i32(normal.top + dy), clamp_to_i32(normal.right + dx),
            clamp_to_i32(normal.bottom + dy)};
}

void remember_window_rect(App* app, const ScreenRect& normal, bool minimised) {
    if (minimised || !window_rect_to_save(normal, app->settings.window)) return;
    save_settings_later(app);
}
