#include "app/goto_box.h"

#include "app/app.h"
#include "app/app_host.h"
#include "app/doc_window.h"
#include "base/memory.h"
#include "paths/path_format.h"
#include "views/view_state.h"

namespace {

// The strip under the top bar shows or hides with the message, so the
// window lays itself out again when it appears or goes.
void clear_go_to_message(DocWindow* window, uint32_t notices) {
    if (window->goto_message[0]) {
        window->goto_message[0] = 0;
        notices |= Notice::GoToMessage | Notice::Layout | Notice::MessageBar;
    }
    if (notices) notify_window(window, notices);
}

}  // namespace

char* go_to_box_text(const DocWindow* window, uint64_t* length) {
    if (!window->view || window->start_page) return nullptr;
    const PathStyle style = static_cast<PathStyle>(window->app->settings.path_style);
    const uint64_t needed = copy_selection_path(window->view, style, nullptr, 0);
    char* text = mem_alloc_array<char>(needed + 1);
    if (!text) return nullptr;
    copy_selection_path(window->view, style, text, needed + 1);
    *length = needed;
    return text;
}

void go_to_box_opened(DocWindow* window) {
    window->goto_mode = 1;
    notify_window(window, Notice::TopBar);
}

void close_go_to_box(DocWindow* window) {
    if (!window->goto_mode) return;
    window->goto_mode = 0;
    clear_go_to_message(window, Notice::GoToMessage | Notice::TopBar);
}

void go_to_box_edited(DocWindow* window) { clear_go_to_message(window, 0); }
