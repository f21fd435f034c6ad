#include "ui/drawing_internal.h"

namespace {

ID2D1SolidColorBrush* brush_of(const RenderSlot* slot, uint32_t colour) {
    return slot->target && colour < SLOT_BRUSHES ? slot->brushes[colour] : nullptr;
}

}  // namespace

void clear(RenderSlot* slot, uint32_t colour) {
    if (ID2D1SolidColorBrush* brush = brush_of(slot, colour)) slot->target->Clear(brush->GetColor());
}

void fill_rect(RenderSlot* slot, float x0, float y0, float x1, float y1, uint32_t colour) {
    ID2D1SolidColorBrush* brush = brush_of(slot, colour);
    if (brush && x0 < x1 && y0 < y1) slot->target->FillRectangle(D2D1::RectF(x0, y0, x1, y1), brush);
}

void round_rect(RenderSlot* slot, float x0, float y0, float x1, float y1, float radius, uint32_t colour, bool filled) {
    ID2D1SolidColorBrush* brush = brush_of(slot, colour);
    if (!brush || x0 >= x1 || y0 >= y1) return;
    D2D1_ROUNDED_RECT rect = D2D1::RoundedRect(D2D1::RectF(x0, y0, x1, y1), radius, radius);
    if (filled)
        slot->target->FillRoundedRectangle(rect, brush);
    else
        slot->target->DrawRoundedRectangle(rect, brush, 1.0f);
}

void line(RenderSlot* slot, float x0, float y0, float x1, float y1, uint32_t colour, float width) {
    if (ID2D1SolidColorBrush* brush = brush_of(slot, colour))
        slot->target->DrawLine(D2D1::Point2F(x0, y0), D2D1::Point2F(x1, y1), brush, width);
}

void chevron(RenderSlot* slot, float cx, float cy, float size, uint32_t direction, uint32_t colour, float width) {
    ID2D1SolidColorBrush* brush = brush_of(slot, colour);
    if (!brush) return;
    float half = size / 2;
    D2D1_POINT_2F points[3];
    if (direction == Chevron::Right) {
        points[0] = D2D1::Point2F(cx - half, cy - size);
        points[1] = D2D1::Point2F(cx + half, cy);
        points[2] = D2D1::Point2F(cx - half, cy + size);
    } else if (direction == Chevron::Down) {
        points[0] = D2D1::Point2F(cx - size, cy - half);
        points[1] = D2D1::Point2F(cx, cy + half);
        points[2] = D2D1::Point2F(cx + size, cy - half);
    } else {
        points[0] = D2D1::Point2F(cx - size, cy + half);
        points[1] = D2D1::Point2F(cx, cy - half);
        points[2] = D2D1::Point2F(cx + size, cy + half);
    }
    ID2D1StrokeStyle* round = drawing().round_stroke;
    slot->target->DrawLine(points[0], points[1], brush, width, round);
    slot->target->DrawLine(points[1], points[2], brush, width, round);
}

void push_clip(RenderSlot* slot, float x0, float y0, float x1, float y1) {
    if (slot->target) slot->target->PushAxisAlignedClip(D2D1::RectF(x0, y0, x1, y1), D2D1_ANTIALIAS_MODE_ALIASED);
}

void pop_clip(RenderSlot* slot) {
    if (slot->target) slot->target->PopAxisAlignedClip();
}

float draw_text_box(RenderSlot* slot, IDWriteTextFormat* format, IDWriteInlineObject* ellipsis, const wchar_t* text,
                    int32_t length, float x, float y, float width, float height, uint32_t colour, uint32_t alignment) {
    ID2D1SolidColorBrush* brush = brush_of(slot, colour);
    if (!brush || !format || length <= 0 || width <= 0) return 0;
    IDWriteTextLayout* layout = nullptr;
    if (FAILED(drawing().dwrite->CreateTextLayout(text, static_cast<UINT32>(length), format, width,
                                                  height > 0 ? height : 1.0f, &layout)))
        return 0;
    layout->SetWordWrapping(DWRITE_WORD_WRAPPING_NO_WRAP);
    layout->SetParagraphAlignment(DWRITE_PARAGRAPH_ALIGNMENT_CENTER);
    layout->SetTextAlignment(alignment == Align::Centre  ? DWRITE_TEXT_ALIGNMENT_CENTER
                             : alignment == Align::Right ? DWRITE_TEXT_ALIGNMENT_TRAILING
                                                         : DWRITE_TEXT_ALIGNMENT_LEADING);
    if (ellipsis) {
        DWRITE_TRIMMING trimming = {DWRITE_TRIMMING_GRANULARITY_CHARACTER, 0, 0};
        layout->SetTrimming(&trimming, ellipsis);
    }
    slot->target->DrawTextLayout(D2D1::Point2F(x, y), layout, brush,
                                 slot->colour_fonts ? D2D1_DRAW_TEXT_OPTIONS_ENABLE_COLOR_FONT
                                                    : D2D1_DRAW_TEXT_OPTIONS_NONE);
    DWRITE_TEXT_METRICS metrics = {};
    float drawn = SUCCEEDED(layout->GetMetrics(&metrics)) ? metrics.widthIncludingTrailingWhitespace : 0;
    layout->Release();
    return drawn < width ? drawn : width;
}
