#include <d2d1_1.h>

#include "ui/drawing_internal.h"
#include "views/palette.h"

namespace {

bool device_loss_injected = false;

D2D1_RENDER_TARGET_PROPERTIES target_properties(bool for_dc) {
    // A DC target needs a pixel format GDI can blend into: 32-bit BGRA, ignoring alpha.
    D2D1_PIXEL_FORMAT format = for_dc ? D2D1::PixelFormat(DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_IGNORE)
                                      : D2D1::PixelFormat();
    return D2D1::RenderTargetProperties(D2D1_RENDER_TARGET_TYPE_DEFAULT, format, 96.0f, 96.0f);
}

[[nodiscard]] bool create_target(RenderSlot* slot, HWND window, int32_t width, int32_t height) {
    DrawingState& state = drawing();
    if (!state.d2d) return false;
    if (state.on_wine) {
        D2D1_RENDER_TARGET_PROPERTIES properties = target_properties(true);
        if (FAILED(state.d2d->CreateDCRenderTarget(&properties, &slot->dc_target))) return false;
        slot->target = slot->dc_target;
    } else {
        D2D1_HWND_RENDER_TARGET_PROPERTIES hwnd = D2D1::HwndRenderTargetProperties(
            window, D2D1::SizeU(static_cast<UINT32>(width), static_cast<UINT32>(height)));
        if (FAILED(state.d2d->CreateHwndRenderTarget(target_properties(false), hwnd, &slot->hwnd_target)))
            return false;
        slot->target = slot->hwnd_target;
    }
    ID2D1DeviceContext* context = nullptr;
    if (SUCCEEDED(slot->target->QueryInterface(__uuidof(ID2D1DeviceContext), reinterpret_cast<void**>(&context)))) {
        slot->colour_fonts = 1;
        context->Release();
    }
    // A brush that cannot be made leaves its colour undrawn.
    for (uint32_t i = 0; i < SLOT_BRUSHES; i++)
        if (FAILED(slot->target->CreateSolidColorBrush(colour_of(palette_colour(i)), &slot->brushes[i])))
            slot->brushes[i] = nullptr;
    slot->pixel_width = width;
    slot->pixel_height = height;
    slot->colour_generation = state.generation;
    return true;
}

}  // namespace

ID2D1RenderTarget* begin_paint(RenderSlot* slot, HWND window, HDC paint_dc) {
    RECT client = {};
    GetClientRect(window, &client);
    int32_t width = client.right - client.left > 1 ? client.right - client.left : 1;
    int32_t height = client.bottom - client.top > 1 ? client.bottom - client.top : 1;
    if (!slot->target) {
        if (!create_target(slot, window, width, height)) {
            release_slot(slot);
            return nullptr;
        }
    } else {
        if (slot->hwnd_target && (width != slot->pixel_width || height != slot->pixel_height))
            slot->hwnd_target->Resize(D2D1::SizeU(static_cast<UINT32>(width), static_cast<UINT32>(height)));
        slot->pixel_width = width;
        slot->pixel_height = height;
        if (slot->colour_generation != drawing().generation) {
            for (uint32_t i = 0; i < SLOT_BRUSHES; i++)
                if (slot->brushes[i]) slot->brushes[i]->SetColor(colour_of(palette_colour(i)));
            slot->colour_generation = drawing().generation;
        }
    }
    if (slot->dc_target) {
        RECT bound = {0, 0, width, height};
        if (!paint_dc || FAILED(slot->dc_target->BindDC(paint_dc, &bound))) return nullptr;
    }
    slot->target->BeginDraw();
    slot->target->SetTransform(D2D1::Matrix3x2F::Identity());
    return slot->target;
}

void end_paint(RenderSlot* slot, HWND window) {
    if (!slot->target) return;
    // A frame drawn on a lost device never reaches the screen. The injected
    // loss leaves the marker colour in its place instead, so that a window
    // which is not drawn again afterwards shows it.
    if (device_loss_injected) slot->target->Clear(colour_of(LOST_FRAME_COLOUR));
    HRESULT result = slot->target->EndDraw();
    if (device_loss_injected) {
        device_loss_injected = false;
        result = static_cast<HRESULT>(D2DERR_RECREATE_TARGET);
    }
    if (result == static_cast<HRESULT>(D2DERR_RECREATE_TARGET)) {
        release_slot(slot);
        InvalidateRect(window, nullptr, FALSE);
    }
}

ID2D1RenderTarget* begin_window_paint(RenderSlot* slot, HWND window, PAINTSTRUCT* paint, uint32_t background) {
    HDC dc = BeginPaint(window, paint);
    if (ID2D1RenderTarget* target = begin_paint(slot, window, dc)) return target;
    if (HBRUSH brush = palette_brush(background)) FillRect(dc, &paint->rcPaint, brush);
    EndPaint(window, paint);
    return nullptr;
}

void end_window_paint(RenderSlot* slot, HWND window, const PAINTSTRUCT* paint) {
    end_paint(slot, window);
    EndPaint(window, paint);
}

void release_slot(RenderSlot* slot) {
    for (ID2D1SolidColorBrush*& brush : slot->brushes) release_com(brush);
    release_com(slot->target);
    slot->hwnd_target = nullptr;
    slot->dc_target = nullptr;
    *slot = {};
}

void inject_device_loss() { device_loss_injected = true; }
