// Screenshots of a window as the screen shows it. Direct2D content does not
// reach PrintWindow (it gives black), so the window's pending paints are done
// at once and its rectangle copied from the screen.
#pragma once

#include <windows.h>

#include <cstdint>

// The window's on-screen pixels, top row first, 0x00RRGGBB each (mem_free
// them); nullptr when the window is gone or GDI fails.
[[nodiscard]] uint32_t* capture_window(HWND window, int32_t* width, int32_t* height);

// Captures the window into a 24-bit BMP file. False when the capture or the
// file fails; a partly written file is deleted.
[[nodiscard]] bool save_window_bmp(HWND window, const wchar_t* path);
