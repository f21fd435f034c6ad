// The light or dark theme: decided from the setting or the system, pushed to
// the palette and to what Windows draws itself (title bars, scroll bars,
// pop-up menus), and decided again when the system's colours change.
#pragma once

#include <windows.h>

#include <cstdint>

// Before any window exists. Unless on Wine, finds the dark-mode entry points
// of newer systems; then decides the theme.
void init_theme(bool on_wine, int32_t setting);
// Decides again; true when the theme changed (the first decision always does).
bool evaluate_theme(int32_t setting);
void apply_title_bar(HWND window);
void apply_control_theme(HWND window);
// WM_SETTINGCHANGE: `text` is its lParam, which may be null (an ordinary
// broadcast). Recolours every document window when the theme changed.
void on_setting_change(const wchar_t* text);
