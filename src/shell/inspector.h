// The Inspector panel at the right of the list: a read-only EDIT control
// (id 1151) with the selected node's description, and the split bar
// "Tarnwell.Split" on its left that the user drags to size it.
#pragma once

#include <windows.h>

struct ShellWindow;

constexpr int INSPECTOR_ID = 1151;

// Creates the split bar and the Inspector, both hidden, the Inspector with
// the code font, its margins and the window theme. False on failure.
[[nodiscard]] bool create_inspector(ShellWindow* shell);
// The text area inside the control's client area, after every size change.
void set_inspector_margins(ShellWindow* shell);
// After a zoom or DPI change: the new code font, then the margins.
void reset_inspector_font(ShellWindow* shell);
// Makes the text again when the selection or the path style changed since
// it was last made, or always when forced.
void refresh_inspector(ShellWindow* shell, bool force);

LRESULT CALLBACK split_bar_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
