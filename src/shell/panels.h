// The classes of the document window's children that are drawn by the
// program: the top bar, the bars, the split bar and the start page. For now
// each paints only its background colour; the list is the ui's own.
#pragma once

#include <windows.h>

#include <cstdint>

#include "views/palette.h"

constexpr wchar_t TOP_BAR_CLASS[] = L"Tarnwell.TopBar";
constexpr wchar_t BAR_CLASS[] = L"Tarnwell.Bar";
constexpr wchar_t SPLIT_CLASS[] = L"Tarnwell.Split";
constexpr wchar_t START_PAGE_CLASS[] = L"Tarnwell.Start";
constexpr wchar_t LIST_CLASS[] = L"Tarnwell.List";

[[nodiscard]] bool register_panel_classes(HINSTANCE instance);

// A palette colour as a GDI COLORREF, and a GDI brush of it (made once, kept).
COLORREF palette_colorref(uint32_t index);
HBRUSH palette_brush(uint32_t index);
