#include "app/status_text.h"

#include <algorithm>
#include <cstdio>

#include "app/doc_window.h"
#include "describe/format.h"
#include "describe/summaries.h"
#include "views/view_state.h"

bool progress_shown(const DocWindow* window, uint32_t* per_mille) {
    if (!window->progress_visible || !(window->open_job || window->reload_job || window->text_view_job)) return false;
    *per_mille = std::min<uint32_t>(window->progress, 1000);
    return true;
}

uint64_t status_left_text(const DocWindow* window, char* buffer, uint64_t size) {
    const bool reading = window->open_job || window->reload_job;
    uint32_t per_mille = 0;
    if (progress_shown(window, &per_mille)) {
        const int percent = static_cast<int>(per_mille / 10);
        const size_t room = static_cast<size_t>(size);
        int length;
        if (!reading) {
            length = std::snprintf(buffer, room, "Preparing the Text view... %d%%", percent);
        } else if (window->file_size) {
            char file_size[32];
            format_size(window->file_size, file_size, sizeof file_size);
            length = std::snprintf(buffer, room, "Reading %s... %d%%", file_size, percent);
        } else {
            length = std::snprintf(buffer, room, "Reading... %d%%", percent);
        }
        return static_cast<uint64_t>(std::max(length, 0));
    }
    const int32_t parse_ms = static_cast<int32_t>(std::min<uint32_t>(window->parse_time, INT32_MAX));
    if (window->view) return status_summary(document(window->view), parse_ms, buffer, size);
    if (size) buffer[0] = 0;
    return 0;
}
