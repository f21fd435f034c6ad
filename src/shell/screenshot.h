// Script mode's window commands: raising a window, capturing it from the
// screen into a BMP file, resizing it, and losing the drawing device.
#pragma once

#include <cstdint>

struct DocWindow;

void raise_window(void* context, DocWindow* window);
// Repaints the window at once and copies its rectangle from the screen into
// "build/screens/win-NAME.bmp". False, with no file left behind, on any failure.
bool screenshot_window(void* context, DocWindow* window, const char* name);
void resize_window(void* context, DocWindow* window, uint32_t width, uint32_t height);
void lose_device(void* context);
