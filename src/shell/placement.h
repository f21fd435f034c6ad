// Where a new document window goes: cascaded from the newest window, or for
// the first window the saved rectangle when some monitor shows it.
#pragma once

#include <windows.h>

struct App;
struct DocWindow;

struct WindowBounds {
    int x, y, width, height;  // CW_USEDEFAULT: the system chooses
};

// `window` is already linked at the head of the App's list.
WindowBounds new_window_bounds(const App* app, const DocWindow* window);
