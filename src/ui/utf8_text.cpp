// Drawing and measuring the program's UTF-8 texts, converted at the boundary.
#include <cstring>

#include "base/memory.h"
#include "base/wide_text_win.h"
#include "ui/drawing.h"

float measure_utf8(IDWriteTextFormat* format, const char* text) {
    uint32_t units = 0;
    wchar_t* wide = utf8_to_utf16(text, std::strlen(text), &units);
    if (!wide) return 0;
    float width = measure_text(format, wide, units);
    mem_free(wide);
    return width;
}

float draw_utf8_box(RenderSlot* slot, IDWriteTextFormat* format, IDWriteInlineObject* ellipsis, const char* text,
                    float x, float y, float width, float height, uint32_t colour, uint32_t alignment) {
    uint32_t units = 0;
    wchar_t* wide = utf8_to_utf16(text, std::strlen(text), &units);
    if (!wide) return 0;
    float drawn =
        draw_text_box(slot, format, ellipsis, wide, static_cast<int32_t>(units), x, y, width, height, colour, alignment);
    mem_free(wide);
    return drawn;
}
