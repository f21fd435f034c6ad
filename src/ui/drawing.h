// The drawing layer every custom-painted window paints through: one Direct2D
// and one DirectWrite factory for the process, a render slot per painted
// window, the fonts and text metrics of a document window, a few primitives,
// and the current palette. Render targets work at 96 DPI, so one drawing unit
// is one device pixel; callers scale their sizes by the window's DPI / 96.
//
// Under Wine a Direct2D target bound to a child window's HWND stays black, so
// there every slot paints through a DC render target bound to the BeginPaint
// DC instead; the drawing code and the device-loss handling are the same.
#pragma once

#include <windows.h>

#include <cstdint>

#include "views/row_paint.h"

struct ID2D1RenderTarget;
struct ID2D1HwndRenderTarget;
struct ID2D1DCRenderTarget;
struct ID2D1SolidColorBrush;
struct IDWriteTextFormat;
struct IDWriteInlineObject;

// ntdll.dll exports "wine_get_version" only under Wine.
bool running_on_wine();

// Creates the factories and the round stroke style and picks the code family
// ("Cascadia Mono" when installed, else "Consolas"). `on_wine` makes every
// render slot paint through a DC render target and search marks come from
// cluster metrics (Wine cannot hit-test text ranges). False when either
// factory cannot be made.
[[nodiscard]] bool init_drawing(bool on_wine);
// The code family chosen by init_drawing.
const wchar_t* code_font_family();

// The palette: dark or light, and a generation that counts the changes, so
// that render slots recolour their brushes at their next paint.
void set_dark_palette(bool dark);
uint32_t palette_colour(uint32_t index);  // 0xRRGGBB
COLORREF palette_colorref(uint32_t index);
// A GDI brush of a palette colour, made on first request and kept until the
// palette changes; nullptr for an index that does not exist or when GDI fails.
HBRUSH palette_brush(uint32_t index);

constexpr uint32_t SLOT_BRUSHES = 18;

// One per painted window, owned by that window's state; all zero when empty.
struct RenderSlot {
    ID2D1RenderTarget* target;
    ID2D1HwndRenderTarget* hwnd_target;  // one of these two is the target
    ID2D1DCRenderTarget* dc_target;
    ID2D1SolidColorBrush* brushes[SLOT_BRUSHES];  // brush i has palette colour i
    int32_t colour_generation;
    int32_t pixel_width;
    int32_t pixel_height;
    uint8_t colour_fonts;  // the target also offers the device-context interface
};

// Begins drawing on the window's target, creating it on the first paint,
// resizing it and recolouring its brushes as needed. `paint_dc` is the DC
// BeginPaint gave (DC targets draw into it). nullptr when no target can be
// had: the caller ends its paint without drawing.
ID2D1RenderTarget* begin_paint(RenderSlot* slot, HWND window, HDC paint_dc);
// Ends drawing. A lost device releases the whole slot and invalidates the
// window, so that the next paint starts on a new target.
void end_paint(RenderSlot* slot, HWND window);
void release_slot(RenderSlot* slot);
// A window's WM_PAINT around begin_paint and end_paint. Without a target the
// update region is filled with the `background` colour and the paint ended,
// so that it neither repeats without end nor leaves garbage: nullptr, and
// nothing more to do. Otherwise the caller draws, then calls end_window_paint.
ID2D1RenderTarget* begin_window_paint(RenderSlot* slot, HWND window, PAINTSTRUCT* paint, uint32_t background);
void end_window_paint(RenderSlot* slot, HWND window, const PAINTSTRUCT* paint);
// Test hook: the next end_paint reports a lost device once, leaving its
// window filled with LOST_FRAME_COLOUR (no palette colour) until repainted.
void inject_device_loss();
constexpr uint32_t LOST_FRAME_COLOUR = 0xFF00FF;

struct Fonts {
    int32_t dpi;
    int32_t point_size;
    IDWriteTextFormat* code;
    IDWriteTextFormat* small;  // depth badges
    IDWriteTextFormat* ui;
    IDWriteTextFormat* large_ui;  // the start page's heading
    IDWriteInlineObject* ellipsis;  // trimming sign for the UI format, or none
    float em_size;
    float line_height;  // whole pixels
    float baseline;
    float digit_width;
    int32_t row_height;
    HFONT gdi_code;
    HFONT gdi_ui;
};

// Releases what `fonts` held and builds it for a DPI and point size. To
// replace fonts that controls still use, build into another record, hand the
// new GDI fonts over, then release the old record. Metrics
// that cannot be read fall back to 1.2 em lines, a 0.95 em baseline and
// 0.55 em digits.
void create_fonts(Fonts* fonts, int32_t dpi, int32_t point_size);
void release_fonts(Fonts* fonts);

// Primitives: each does nothing when the slot has no brush of that colour.
void clear(RenderSlot* slot, uint32_t colour);
void fill_rect(RenderSlot* slot, float x0, float y0, float x1, float y1, uint32_t colour);
void round_rect(RenderSlot* slot, float x0, float y0, float x1, float y1, float radius, uint32_t colour, bool filled);
void line(RenderSlot* slot, float x0, float y0, float x1, float y1, uint32_t colour, float width);
namespace Chevron {
constexpr uint32_t Right = 0;
constexpr uint32_t Down = 1;
constexpr uint32_t Up = 2;
}  // namespace Chevron
void chevron(RenderSlot* slot, float cx, float cy, float size, uint32_t direction, uint32_t colour, float width);
void push_clip(RenderSlot* slot, float x0, float y0, float x1, float y1);
void pop_clip(RenderSlot* slot);

// Width of a text including trailing whitespace; 0 on failure.
float measure_text(IDWriteTextFormat* format, const wchar_t* text, uint32_t length);
namespace Align {
constexpr uint32_t Left = 0;
constexpr uint32_t Centre = 1;
constexpr uint32_t Right = 2;
}  // namespace Align
// Draws a text vertically centred in a box, trimmed with the ellipsis sign
// when one is given and the text does not fit. The drawn width (at most the
// box's), 0 when nothing was drawn.
float draw_text_box(RenderSlot* slot, IDWriteTextFormat* format, IDWriteInlineObject* ellipsis, const wchar_t* text,
                    int32_t length, float x, float y, float width, float height, uint32_t colour, uint32_t alignment);
// The same for a zero-terminated UTF-8 text; 0 when it cannot be converted.
float measure_utf8(IDWriteTextFormat* format, const char* text);
float draw_utf8_box(RenderSlot* slot, IDWriteTextFormat* format, IDWriteInlineObject* ellipsis, const char* text,
                    float x, float y, float width, float height, uint32_t colour, uint32_t alignment);
// Draws a row's styled text with its search marks at (x, y) in the code
// font. The laid-out width, 0 when nothing was drawn.
float draw_styled_text(RenderSlot* slot, const Fonts* fonts, const RowPaint* paint, float x, float y, float max_width);
