// The classes of the document window's children that are drawn by the
// program: the top bar, the bars, the split bar and the start page.
#pragma once

#include <windows.h>

#include <cstdint>

#include "views/palette.h"

struct ShellWindow;

constexpr wchar_t TOP_BAR_CLASS[] = L"Tarnwell.TopBar";
constexpr wchar_t BAR_CLASS[] = L"Tarnwell.Bar";
constexpr wchar_t SPLIT_CLASS[] = L"Tarnwell.Split";
constexpr wchar_t START_PAGE_CLASS[] = L"Tarnwell.Start";

[[nodiscard]] bool register_panel_classes(HINSTANCE instance);

// The document window a child was created for (its creation parameter, kept
// from WM_NCCREATE), or none once that has gone.
ShellWindow* panel_shell(HWND window, UINT message, LPARAM lparam);
// Asks for WM_MOUSELEAVE once the mouse leaves the window.
void track_mouse_leave(HWND window);

LRESULT CALLBACK bar_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT CALLBACK start_page_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
