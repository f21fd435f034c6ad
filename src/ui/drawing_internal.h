// What the drawing layer's files share: the process-wide factories and the
// scratch space of styled text.
#pragma once

#include <d2d1.h>
#include <dwrite.h>

#include "ui/drawing.h"
#include "views/row_units.h"

struct DrawingState {
    ID2D1Factory* d2d;
    IDWriteFactory* dwrite;
    ID2D1StrokeStyle* round_stroke;
    const wchar_t* code_family;
    uint8_t on_wine;  // DC render targets, cluster metrics for search marks
    uint8_t dark;
    int32_t generation;  // palette changes so far
    HBRUSH gdi_brushes[SLOT_BRUSHES];
    RowUnits units;           // a row's text in UTF-16
    float* unit_x;            // x of each unit, from cluster metrics
    uint32_t unit_x_capacity;
    DWRITE_CLUSTER_METRICS* clusters;
    uint32_t cluster_capacity;
};

DrawingState& drawing();

template <typename T>
void release_com(T*& object) {
    if (object) object->Release();
    object = nullptr;
}

inline D2D1_COLOR_F colour_of(uint32_t rgb) {
    return D2D1::ColorF(static_cast<float>((rgb >> 16) & 0xFF) / 255.0f, static_cast<float>((rgb >> 8) & 0xFF) / 255.0f,
                        static_cast<float>(rgb & 0xFF) / 255.0f, 1.0f);
}
