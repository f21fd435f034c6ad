// The classes of the document window's children that are drawn by the
// program: the top bar, the bars, the split bar and the start page. For now
// each paints only its background colour.
#pragma once

#include <windows.h>

#include <cstdint>

#include "views/palette.h"

constexpr wchar_t TOP_BAR_CLASS[] = L"Tarnwell.TopBar";
constexpr wchar_t BAR_CLASS[] = L"Tarnwell.Bar";
constexpr wchar_t SPLIT_CLASS[] = L"Tarnwell.Split";
constexpr wchar_t START_PAGE_CLASS[] = L"Tarnwell.Start";

[[nodiscard]] bool register_panel_classes(HINSTANCE instance);
