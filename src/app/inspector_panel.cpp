#include "app/inspector_panel.h"

#include "app/app.h"
#include "app/doc_window.h"
#include "base/bounded_writer.h"
#include "base/memory.h"
#include "describe/inspector.h"
#include "describe/json_writer.h"
#include "views/view_state.h"

namespace {

const uint8_t SYMBOL_FOR_NULL[] = {0xE2, 0x90, 0x80};  // U+2400 in UTF-8

// The edit form of the text, or nullptr when memory runs out.
char* edit_form(const char* text, uint64_t text_length, uint64_t* length) {
    uint64_t needed = inspector_edit_text(text, text_length, nullptr, 0);
    char* form = mem_alloc_array<char>(needed + 1);
    if (!form) return nullptr;
    inspector_edit_text(text, text_length, form, needed + 1);
    *length = needed;
    return form;
}

}  // namespace

uint64_t inspector_edit_text(const char* text, uint64_t length, char* buffer, uint64_t size) {
    BoundedWriter writer = bounded_writer(buffer, size);
    const auto* bytes = reinterpret_cast<const uint8_t*>(text);
    uint64_t run = 0;  // start of the bytes not yet written
    for (uint64_t i = 0; i < length; i++) {
        bool bare_lf = bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r');
        if (!bare_lf && bytes[i] != 0) continue;
        bw_append(&writer, bytes + run, i - run);
        if (bare_lf) bw_append(&writer, reinterpret_cast<const uint8_t*>("\r\n"), 2);
        else bw_append(&writer, SYMBOL_FOR_NULL, sizeof SYMBOL_FOR_NULL);
        run = i + 1;
    }
    bw_append(&writer, bytes + run, length - run);
    return writer.total;
}

InspectorUpdate update_inspector(DocWindow* window, bool force, char** text, uint64_t* length) {
    *text = nullptr;
    *length = 0;
    InspectorCache& cache = window->inspector_cache;
    // A hidden panel is made again when it shows.
    if (!window->inspector_shown || window->start_page) {
        cache.valid = 0;
        return InspectorUpdate::Keep;
    }
    const ViewState* view = window->view;
    if (!view) {
        cache.valid = 0;
        return InspectorUpdate::SetText;
    }
    NodeId node = selected_node(view);
    auto style = static_cast<uint32_t>(window->app->settings.path_style);
    if (!force && cache.valid && cache.node == node && cache.path_style == style) return InspectorUpdate::Keep;
    uint64_t plain_length = 0;
    char* plain = inspector_text(document(view), node, static_cast<PathStyle>(style), &plain_length);
    if (plain) *text = edit_form(plain, plain_length, length);
    free_text(plain);
    cache = InspectorCache{node, style, 1};
    return InspectorUpdate::SetText;
}

void keep_inspector_width(DocWindow* window) {
    window->app->settings.inspector_width = window->inspector_width;
    save_settings_later(window->app);
}
