// The DPI of a window, for scaling lengths designed at 96 DPI.
#pragma once

#include <windows.h>

#include <cstdint>

constexpr uint32_t BASE_DPI = 96;

// The window's DPI; the system's when the window has none (before it exists,
// or on systems without per-window DPI); never 0.
uint32_t window_dpi(HWND window);
