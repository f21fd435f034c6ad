// Where a new document window goes, and which rectangle is worth saving.
// Rectangles from the settings file are whatever it holds, so sums such as
// left + width are made in 64 bits.
#pragma once

#include <cstdint>

#include "app/pixels.h"

// Screen coordinates, right and bottom exclusive.
struct ScreenRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// The size of a new window before any placement: 1100 x 760 at 96 DPI.
PixelPoint new_window_size(float system_scale);
// The smallest size a window can be dragged to: 360 x 240 at 96 DPI.
PixelPoint minimum_window_size(float scale);

// A window after the newest one: the same size, 26 pixels (scaled) right and
// below it; when that would cross the right or bottom edge of the work area,
// at the work area's top-left corner plus 26 pixels each way.
PixelRect cascade_window_rect(const ScreenRect& newest, const ScreenRect& work_area, float system_scale);

// The first window takes the saved rectangle (left, top, width, height) when
// its width and height are positive and some monitor shows part of it.
[[nodiscard]] bool saved_window_rect(const int32_t saved[4], const ScreenRect* monitors, uint32_t monitor_count,
                                     PixelRect* rect);

// A window's normal rectangle as the system keeps it, in coordinates of the
// work area of its monitor, brought to screen coordinates: shifted by the
// room the taskbar takes on the left or top, or it would creep by that much
// at each start.
ScreenRect normal_rect_on_screen(const ScreenRect& normal, const ScreenRect& monitor, const ScreenRect& work_area);

struct App;
// When a window has stopped moving: its normal rectangle goes to the
// settings and a save is scheduled, unless the window is minimised or the
// rectangle is no wider or taller than 99 pixels.
void remember_window_rect(App* app, const ScreenRect& normal, bool minimised);
