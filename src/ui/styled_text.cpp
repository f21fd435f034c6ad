#include "base/memory.h"
#include "ui/drawing_internal.h"
#include "views/palette.h"

namespace {

constexpr uint32_t MAX_MARK_RECTS = 8;

// x of every unit boundary of the layout, from its cluster metrics; false
// when they cannot be had.
[[nodiscard]] bool unit_positions(IDWriteTextLayout* layout, uint32_t unit_count) {
    DrawingState& state = drawing();
    UINT32 count = 0;
    HRESULT result = layout->GetClusterMetrics(state.clusters, state.cluster_capacity, &count);
    if (result == E_NOT_SUFFICIENT_BUFFER) {
        auto* grown = static_cast<DWRITE_CLUSTER_METRICS*>(
            mem_realloc_array(state.clusters, static_cast<uint64_t>(count) + 16));
        if (!grown) return false;
        state.clusters = grown;
        state.cluster_capacity = count + 16;
        result = layout->GetClusterMetrics(state.clusters, state.cluster_capacity, &count);
    }
    if (FAILED(result)) return false;
    if (state.unit_x_capacity < unit_count + 1) {
        float* grown = mem_realloc_array(state.unit_x, static_cast<uint64_t>(unit_count) + 64);
        if (!grown) return false;
        state.unit_x = grown;
        state.unit_x_capacity = unit_count + 64;
    }
    float x = 0;
    uint32_t unit = 0;
    for (UINT32 i = 0; i < count && unit < unit_count; i++) {
        for (uint32_t k = 0; k < state.clusters[i].length && unit < unit_count; k++) state.unit_x[unit++] = x;
        x += state.clusters[i].width;
    }
    while (unit <= unit_count) state.unit_x[unit++] = x;
    return true;
}

// Fills the search marks behind the text. Under Wine the layout cannot
// hit-test ranges, so the cluster metrics are used from the start there.
void fill_marks(RenderSlot* slot, const Fonts* fonts, const RowPaint* paint, IDWriteTextLayout* layout, float x,
                float y) {
    DrawingState& state = drawing();
    bool have_positions = false;
    bool try_hit_test = !state.on_wine;
    for (uint32_t i = 0; i < paint->run_count; i++) {
        const TextRun& run = paint->runs[i];
        if (run.mark == 0) continue;
        uint32_t colour = run.mark == 2 ? 15 : 14;
        UnitRange range = run_unit_range(&state.units, run, paint->length);
        if (range.start == range.end) continue;
        if (try_hit_test) {
            DWRITE_HIT_TEST_METRICS rects[MAX_MARK_RECTS];
            UINT32 count = 0;
            if (SUCCEEDED(layout->HitTestTextRange(range.start, range.end - range.start, x, y, rects, MAX_MARK_RECTS,
                                                   &count)) &&
                count > 0) {
                for (UINT32 k = 0; k < count && k < MAX_MARK_RECTS; k++)
                    fill_rect(slot, rects[k].left, y, rects[k].left + rects[k].width, y + fonts->line_height, colour);
                continue;
            }
        }
        if (!have_positions) {
            if (!unit_positions(layout, state.units.unit_count)) return;
            have_positions = true;
        }
        fill_rect(slot, x + state.unit_x[range.start], y, x + state.unit_x[range.end], y + fonts->line_height, colour);
    }
}

}  // namespace

float draw_styled_text(RenderSlot* slot, const Fonts* fonts, const RowPaint* paint, float x, float y,
                       float max_width) {
    DrawingState& state = drawing();
    if (paint->length == 0 || !fonts->code || !slot->target) return 0;
    if (!convert_row_units(&state.units, paint->text, paint->length)) return 0;
    IDWriteTextLayout* layout = nullptr;
    if (FAILED(state.dwrite->CreateTextLayout(reinterpret_cast<const WCHAR*>(state.units.units),
                                              state.units.unit_count, fonts->code, max_width >= 1 ? max_width : 1.0f,
                                              fonts->line_height >= 1 ? fonts->line_height : 1.0f, &layout)))
        return 0;
    bool marked = false;
    for (uint32_t i = 0; i < paint->run_count; i++) {
        const TextRun& run = paint->runs[i];
        UnitRange range = run_unit_range(&state.units, run, paint->length);
        if (range.start == range.end) continue;
        uint32_t colour = run_style_colour(run.style);
        if (colour != Colour::Text && slot->brushes[colour])
            layout->SetDrawingEffect(slot->brushes[colour], {range.start, range.end - range.start});
        if (run.mark) marked = true;
    }
    if (marked) fill_marks(slot, fonts, paint, layout, x, y);
    if (slot->brushes[Colour::Text])
        slot->target->DrawTextLayout(D2D1::Point2F(x, y), layout, slot->brushes[Colour::Text],
                                     slot->colour_fonts ? D2D1_DRAW_TEXT_OPTIONS_ENABLE_COLOR_FONT
                                                        : D2D1_DRAW_TEXT_OPTIONS_NONE);
    DWRITE_TEXT_METRICS metrics = {};
    float width = SUCCEEDED(layout->GetMetrics(&metrics)) ? metrics.widthIncludingTrailingWhitespace : 0;
    layout->Release();
    return width;
}
