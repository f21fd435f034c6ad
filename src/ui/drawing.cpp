#include "ui/drawing_internal.h"

#include "views/palette.h"

namespace {

DrawingState state;

bool family_installed(IDWriteFactory* factory, const wchar_t* family) {
    IDWriteFontCollection* fonts = nullptr;
    if (FAILED(factory->GetSystemFontCollection(&fonts, FALSE)) || !fonts) return false;
    UINT32 index = 0;
    BOOL exists = FALSE;
    bool found = SUCCEEDED(fonts->FindFamilyName(family, &index, &exists)) && exists;
    fonts->Release();
    return found;
}

void delete_gdi_brushes() {
    for (HBRUSH& brush : state.gdi_brushes) {
        if (brush) DeleteObject(brush);
        brush = nullptr;
    }
}

}  // namespace

DrawingState& drawing() { return state; }

bool running_on_wine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

bool init_drawing(bool on_wine) {
    state.on_wine = on_wine;
    if (FAILED(D2D1CreateFactory(D2D1_FACTORY_TYPE_SINGLE_THREADED, __uuidof(ID2D1Factory), nullptr,
                                 reinterpret_cast<void**>(&state.d2d))))
        return false;
    if (FAILED(DWriteCreateFactory(DWRITE_FACTORY_TYPE_SHARED, __uuidof(IDWriteFactory),
                                   reinterpret_cast<IUnknown**>(&state.dwrite)))) {
        release_com(state.d2d);
        return false;
    }
    D2D1_STROKE_STYLE_PROPERTIES round = D2D1::StrokeStyleProperties(
        D2D1_CAP_STYLE_ROUND, D2D1_CAP_STYLE_ROUND, D2D1_CAP_STYLE_ROUND, D2D1_LINE_JOIN_ROUND, 10.0f,
        D2D1_DASH_STYLE_SOLID, 0.0f);
    // Without it chevrons are drawn with flat caps; nothing else depends on it.
    if (FAILED(state.d2d->CreateStrokeStyle(round, nullptr, 0, &state.round_stroke))) state.round_stroke = nullptr;
    state.code_family = family_installed(state.dwrite, L"Cascadia Mono") ? L"Cascadia Mono" : L"Consolas";
    return true;
}

const wchar_t* code_font_family() { return state.code_family ? state.code_family : L"Consolas"; }

void set_dark_palette(bool dark) {
    if (state.dark == dark) return;
    state.dark = dark;
    state.generation++;
    delete_gdi_brushes();
}

uint32_t palette_colour(uint32_t index) { return palette_rgb(index, state.dark); }

COLORREF palette_colorref(uint32_t index) {
    uint32_t rgb = palette_colour(index);
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

HBRUSH palette_brush(uint32_t index) {
    if (index >= SLOT_BRUSHES) return nullptr;
    if (!state.gdi_brushes[index]) state.gdi_brushes[index] = CreateSolidBrush(palette_colorref(index));
    return state.gdi_brushes[index];
}
