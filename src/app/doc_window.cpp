// A document window's life and its small texts: the title, the display name,
// the flash text and the message bar, and the timers.
#include "app/doc_window.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "app/app.h"
#include "app/jobs.h"
#include "app/reload.h"
#include "app/search_box.h"
#include "base/memory.h"
#include "base/text_builder.h"
#include "base/utf8.h"
#include "views/view_state.h"

namespace {

const char PROGRAM_NAME[] = "Tarnwell";

// Copies at most `units` UTF-16 units of text into a zero-terminated buffer
// that can hold them.
void copy_units(char* buffer, const char* text, uint64_t length, uint32_t units) {
    size_t take = utf8_prefix_in_units(reinterpret_cast<const uint8_t*>(text), length, units);
    std::memcpy(buffer, text, take);
    buffer[take] = 0;
}

void unlink_window(DocWindow* window) {
    for (DocWindow** link = &window->app->windows; *link; link = &(*link)->next) {
        if (*link == window) {
            *link = window->next;
            return;
        }
    }
}

void free_window(DocWindow* window) {
    release_view_state(window->view);
    mem_free(window->path);
    window->~DocWindow();
    mem_free(window);
}

}  // namespace

DocWindow* create_doc_window(App* app, bool start_page) {
    void* memory = mem_alloc_zeroed(sizeof(DocWindow));
    if (!memory) return nullptr;
    DocWindow* window = new (memory) DocWindow{};
    window->app = app;
    window->start_page = start_page ? 1 : 0;
    window->inspector_shown = app->settings.inspector;
    int32_t width = app->settings.inspector_width;
    bool usable = width >= INSPECTOR_WIDTH_MIN && width <= INSPECTOR_WIDTH_MAX;
    window->inspector_width = usable ? width : INSPECTOR_WIDTH_DEFAULT;
    window->next = app->windows;
    app->windows = window;
    if (!app->host.create_window(app->host.context, window)) {
        unlink_window(window);
        free_window(window);
        return nullptr;
    }
    return window;
}

void close_doc_window(DocWindow* window) {
    App* app = window->app;
    unlink_window(window);
    release_search_box(window);
    detach_window_jobs(app, window);
    window->open_job = nullptr;
    window->reload_job = nullptr;
    window->text_view_job = nullptr;
    app->host.destroy_window(app->host.context, window);
    free_window(window);
    if (!app->windows) {
        app->quitting = 1;
        app->host.all_windows_closed(app->host.context);
    }
}

void notify_window(DocWindow* window, uint32_t notices) {
    const AppHost& host = window->app->host;
    host.notify(host.context, window, notices);
}

void notify_every_window(App* app, uint32_t notices) {
    for (DocWindow* window = app->windows; window; window = window->next) notify_window(window, notices);
}

uint64_t doc_window_title(const DocWindow* window, char* buffer, uint64_t size) {
    char title[DISPLAY_NAME_SIZE + sizeof PROGRAM_NAME + 3];
    int length = window->display_name[0]
                     ? std::snprintf(title, sizeof title, "%s - %s", window->display_name, PROGRAM_NAME)
                     : std::snprintf(title, sizeof title, "%s", PROGRAM_NAME);
    size_t kept = utf8_prefix_in_units(reinterpret_cast<const uint8_t*>(title), static_cast<size_t>(length), TITLE_UNITS);
    return copy_out(title, kept, buffer, size);
}

void update_title(DocWindow* window) { notify_window(window, Notice::Title); }

void set_display_name(DocWindow* window, const char* name, uint64_t length) {
    copy_units(window->display_name, name, length, DISPLAY_NAME_UNITS);
}

void flash_status(DocWindow* window, const char* text) {
    copy_units(window->flash_text, text, std::strlen(text), FLASH_TEXT_UNITS);
    const AppHost& host = window->app->host;
    host.start_timer(host.context, window, DocTimer::Flash, DocTimer::FlashDelayMs);
    notify_window(window, Notice::StatusBar);
}

void set_message_bar(DocWindow* window, const char* text, bool is_error) {
    bool was_shown = window->message_text[0] != 0;
    copy_out(text, std::strlen(text), window->message_text, MESSAGE_TEXT_SIZE);
    window->message_is_error = is_error ? 1 : 0;
    bool shown = window->message_text[0] != 0;
    notify_window(window, Notice::MessageBar | (shown != was_shown ? Notice::Layout : 0));
}

void clear_message_bar_error(DocWindow* window) {
    if (window->message_is_error && window->message_text[0]) set_message_bar(window, "", false);
}

void doc_window_timer(DocWindow* window, uint32_t timer_id) {
    const AppHost& host = window->app->host;
    host.stop_timer(host.context, window, timer_id);
    switch (timer_id) {
    case DocTimer::Progress:
        if (!window->open_job && !window->reload_job && !window->text_view_job) return;
        window->progress_visible = 1;
        notify_window(window, Notice::TopBar | Notice::StatusBar);
        return;
    case DocTimer::Flash:
        window->flash_text[0] = 0;
        notify_window(window, Notice::StatusBar);
        return;
    case DocTimer::SearchDebounce: run_search_now(window); return;
    case DocTimer::FileChanged:
        window->change_burst.pending = 0;
        check_file_changed(window);
        return;
    default: return;
    }
}
