#include "shell/panels.h"

namespace {

HBRUSH brushes[PALETTE_SIZE];

bool register_panel(HINSTANCE instance, const wchar_t* name, uint32_t colour) {
    WNDCLASSEXW panel{};
    panel.cbSize = sizeof panel;
    panel.lpfnWndProc = DefWindowProcW;
    panel.hInstance = instance;
    panel.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    panel.hbrBackground = palette_brush(colour);
    panel.lpszClassName = name;
    return RegisterClassExW(&panel) != 0;
}

}  // namespace

bool register_panel_classes(HINSTANCE instance) {
    return register_panel(instance, TOP_BAR_CLASS, Colour::BarBackground) &&
           register_panel(instance, BAR_CLASS, Colour::BarBackground) &&
           register_panel(instance, SPLIT_CLASS, Colour::Border) &&
           register_panel(instance, START_PAGE_CLASS, Colour::ViewBackground) &&
           register_panel(instance, LIST_CLASS, Colour::ViewBackground);
}

COLORREF palette_colorref(uint32_t index) {
    uint32_t rgb = palette_rgb(index, false);
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

HBRUSH palette_brush(uint32_t index) {
    if (index >= PALETTE_SIZE) return nullptr;
    if (!brushes[index]) brushes[index] = CreateSolidBrush(palette_colorref(index));
    return brushes[index];
}
