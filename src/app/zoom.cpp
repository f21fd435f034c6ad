#include "app/zoom.h"

int32_t zoom_font_size(Settings* settings, int32_t step) {
    if (step == 0) {
        settings->font_size = 0;
    } else {
        int32_t size = font_size_or_default(settings) + (step > 0 ? 1 : -1);
        settings->font_size = size < FONT_SIZE_MIN ? FONT_SIZE_MIN : size > FONT_SIZE_MAX ? FONT_SIZE_MAX : size;
    }
    return font_size_or_default(settings);
}
