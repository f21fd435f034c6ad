#include "app/top_bar_text.h"

#include <algorithm>
#include <cstring>

#include "base/utf8.h"
#include "views/view_state.h"

uint32_t crumb_label(const ViewState* view, uint32_t level, char (&buffer)[CRUMB_LABEL_SIZE]) {
    const uint64_t full = breadcrumb_text(view, level, buffer, sizeof buffer);
    if (full < CRUMB_TEXT_MAX) return static_cast<uint32_t>(full);
    // The buffer holds a few bytes past the limit, so that a character
    // crossing it is seen whole and left out whole.
    const size_t held = static_cast<size_t>(std::min<uint64_t>(full, sizeof buffer - 1));
    size_t kept = utf8_cut_point(reinterpret_cast<const uint8_t*>(buffer), held, CRUMB_TEXT_MAX - 1);
    std::memcpy(buffer + kept, "\xE2\x80\xA6", 4);
    return static_cast<uint32_t>(kept + 3);
}

const char* search_scope_label(int32_t scope) {
    if (scope == 1) return "Keys";
    if (scope == 2) return "Values";
    return "All";
}
