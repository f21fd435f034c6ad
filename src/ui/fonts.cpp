#include <cmath>

#include "ui/drawing_internal.h"

namespace {

IDWriteTextFormat* text_format(const wchar_t* family, float size) {
    IDWriteTextFormat* format = nullptr;
    if (FAILED(drawing().dwrite->CreateTextFormat(family, nullptr, DWRITE_FONT_WEIGHT_NORMAL, DWRITE_FONT_STYLE_NORMAL,
                                                  DWRITE_FONT_STRETCH_NORMAL, size, L"en-us", &format)))
        return nullptr;
    return format;
}

IDWriteTextFormat* code_format(float size) {
    IDWriteTextFormat* format = text_format(code_font_family(), size);
    if (format) format->SetWordWrapping(DWRITE_WORD_WRAPPING_NO_WRAP);
    return format;
}

// Line height and baseline from the code family's design metrics; false
// when any step fails.
bool design_line_metrics(float em, float* line_height, float* baseline) {
    IDWriteFontCollection* collection = nullptr;
    if (FAILED(drawing().dwrite->GetSystemFontCollection(&collection, FALSE)) || !collection) return false;
    bool found = false;
    UINT32 index = 0;
    BOOL exists = FALSE;
    IDWriteFontFamily* family = nullptr;
    IDWriteFont* font = nullptr;
    if (SUCCEEDED(collection->FindFamilyName(code_font_family(), &index, &exists)) && exists &&
        SUCCEEDED(collection->GetFontFamily(index, &family)) &&
        SUCCEEDED(family->GetFirstMatchingFont(DWRITE_FONT_WEIGHT_NORMAL, DWRITE_FONT_STRETCH_NORMAL,
                                               DWRITE_FONT_STYLE_NORMAL, &font))) {
        DWRITE_FONT_METRICS metrics = {};
        font->GetMetrics(&metrics);
        if (metrics.designUnitsPerEm != 0) {
            float units = metrics.designUnitsPerEm;
            *line_height = (static_cast<float>(metrics.ascent) + metrics.descent + metrics.lineGap) * em / units;
            *baseline = static_cast<float>(metrics.ascent) * em / units;
            found = true;
        }
    }
    release_com(font);
    release_com(family);
    collection->Release();
    return found;
}

HFONT gdi_font(const wchar_t* family, int32_t points, int32_t dpi, DWORD pitch_and_family) {
    return CreateFontW(-MulDiv(points, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, pitch_and_family, family);
}

}  // namespace

void create_fonts(Fonts* fonts, int32_t dpi, int32_t point_size) {
    release_fonts(fonts);
    fonts->dpi = dpi;
    fonts->point_size = point_size;
    if (!drawing().dwrite) return;
    float em = static_cast<float>(static_cast<uint32_t>(point_size) * static_cast<uint32_t>(dpi)) / 72.0f;
    fonts->em_size = em;
    fonts->code = code_format(em);
    fonts->line_height = 1.2f * em;
    fonts->baseline = 0.95f * em;
    float line_height = 0;
    float baseline = 0;
    if (design_line_metrics(em, &line_height, &baseline)) {
        fonts->line_height = line_height;
        fonts->baseline = baseline;
    }
    fonts->line_height = std::ceil(fonts->line_height);
    if (fonts->code)
        fonts->code->SetLineSpacing(DWRITE_LINE_SPACING_METHOD_UNIFORM, fonts->line_height, fonts->baseline);
    fonts->small = code_format(0.75f * em);
    fonts->digit_width = measure_text(fonts->code, L"0000000000", 10) / 10.0f;
    if (fonts->digit_width < 1.0f) fonts->digit_width = 0.55f * em;
    fonts->row_height = static_cast<int32_t>(std::ceil(4.0f * static_cast<float>(dpi) / 96.0f + fonts->line_height));
    fonts->ui = text_format(L"Segoe UI", static_cast<float>(dpi) * 9.0f / 72.0f);
    fonts->large_ui = text_format(L"Segoe UI", static_cast<float>(dpi) * 15.0f / 72.0f);
    if (!fonts->ui || FAILED(drawing().dwrite->CreateEllipsisTrimmingSign(fonts->ui, &fonts->ellipsis)))
        fonts->ellipsis = nullptr;
    fonts->gdi_code = gdi_font(code_font_family(), point_size, dpi, FIXED_PITCH | FF_MODERN);
    fonts->gdi_ui = gdi_font(L"Segoe UI", 9, dpi, DEFAULT_PITCH | FF_SWISS);
}

void release_fonts(Fonts* fonts) {
    release_com(fonts->code);
    release_com(fonts->small);
    release_com(fonts->ui);
    release_com(fonts->large_ui);
    release_com(fonts->ellipsis);
    if (fonts->gdi_code) DeleteObject(fonts->gdi_code);
    if (fonts->gdi_ui) DeleteObject(fonts->gdi_ui);
    *fonts = {};
}

float measure_text(IDWriteTextFormat* format, const wchar_t* text, uint32_t length) {
    if (!format || !drawing().dwrite) return 0;
    IDWriteTextLayout* layout = nullptr;
    if (FAILED(drawing().dwrite->CreateTextLayout(text, length, format, 100000.0f, 100.0f, &layout))) return 0;
    DWRITE_TEXT_METRICS metrics = {};
    float width = SUCCEEDED(layout->GetMetrics(&metrics)) ? metrics.widthIncludingTrailingWhitespace : 0;
    layout->Release();
    return width;
}
