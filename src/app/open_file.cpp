// open_path and what a finished OpenFile Job does to its window.
#include "app/open_file.h"

#include <cstdio>
#include <cstring>

#include "app/app.h"
#include "app/doc_window.h"
#include "app/search_box.h"
#include "base/ascii.h"
#include "base/memory.h"
#include "base/text_builder.h"
#include "base/utf8.h"
#include "describe/format.h"
#include "views/view_state.h"

namespace {

void finish_open_job(Job* job);

// A UTF-16 unit is at most three bytes of UTF-8, so a path that does not fit
// has more units than allowed.
constexpr uint32_t OPEN_PATH_SIZE = OPEN_PATH_UNITS * 3 + 1;
constexpr uint32_t LOAD_ERROR_SIZE = 2048;
constexpr uint32_t SYSTEM_TEXT_SIZE = 512;

const char NOT_ENOUGH_MEMORY[] = "there is not enough memory";

// The absolute form of `path` in full[OPEN_PATH_SIZE], or the path as given
// when that cannot be had. False when neither fits: a shortened path would
// name another file.
[[nodiscard]] bool full_path(const App* app, const char* path, char* full) {
    uint64_t length = app->host.platform->absolute_path(path, full, OPEN_PATH_SIZE);
    auto fits = [](const char* text, uint64_t text_length) {
        return text_length < OPEN_PATH_SIZE &&
               utf8_prefix_in_units(reinterpret_cast<const uint8_t*>(text), text_length, OPEN_PATH_UNITS) == text_length;
    };
    if (length > 0 && fits(full, length)) return true;
    size_t given = std::strlen(path);
    if (!fits(path, given)) return false;
    std::memcpy(full, path, given + 1);
    return true;
}

bool ends_with_without_case(const char* text, const char* suffix) {
    size_t length = std::strlen(text), suffix_length = std::strlen(suffix);
    if (length < suffix_length) return false;
    for (size_t i = 0; i < suffix_length; i++) {
        if (fold_ascii(text[length - suffix_length + i]) != suffix[i]) return false;
    }
    return true;
}

// Asks first when twice the file's size is more than 60 % of the memory.
bool memory_allows(App* app, DocWindow* owner, const char* path) {
    const FileIo* io = app->host.platform;
    uint64_t size = 0;
    if (!io->attribute_size(path, &size)) return true;
    uint64_t total = memory_for_check(app);
    if (total == 0) return true;
    if (static_cast<unsigned __int128>(total) * 6 >= static_cast<unsigned __int128>(size) * 20) return true;
    uint64_t estimate = size >= (1ull << 63) ? UINT64_MAX : size * 2;
    char needed[COUNT_TEXT_SIZE], memory[COUNT_TEXT_SIZE], question[128];
    format_size(estimate, needed, sizeof needed);
    format_size(total, memory, sizeof memory);
    std::snprintf(question, sizeof question, "This file may need about %s of memory and this computer has %s.",
                  needed, memory);
    return app->host.ask(app->host.context, owner, question, "Open Anyway");
}

bool takes_a_file(const DocWindow* window) { return window->start_page && !window->open_job; }

DocWindow* choose_window(App* app, DocWindow* given) {
    if (given && takes_a_file(given)) return given;
    if (!given) {
        for (DocWindow* window = app->windows; window; window = window->next) {
            if (takes_a_file(window)) return window;
        }
    }
    return create_doc_window(app, false);
}

// The sentence form of a system message: no trailing line breaks, spaces or
// full stops, and "Access is denied." becomes "access is denied" while "OK"
// keeps its capital.
void tidy_system_text(char* text) {
    size_t length = std::strlen(text);
    while (length > 0 && std::strchr("\r\n .", text[length - 1])) length--;
    text[length] = 0;
    auto capital = [](char c) { return c >= 'A' && c <= 'Z'; };
    if (capital(text[0]) && !capital(text[1])) text[0] = static_cast<char>(text[0] + 32);
}

// Hands on a text formatted into a local buffer of `capacity` bytes.
uint64_t copy_formatted(const char* text, int length, uint64_t capacity, char* buffer, uint64_t size) {
    uint64_t kept = length < 0 ? 0 : static_cast<uint64_t>(length);
    return copy_out(text, kept < capacity ? kept : capacity - 1, buffer, size);
}

}  // namespace

const char* file_name_of(const char* path) {
    const char* name = path;
    for (const char* p = path; *p; p++) {
        if (*p == '/' || *p == '\\') name = p + 1;
    }
    return name;
}

bool is_json_lines_path(const char* path) {
    return ends_with_without_case(path, ".jsonl") || ends_with_without_case(path, ".ndjson");
}

char* copy_path(const char* path) {
    size_t length = std::strlen(path);
    char* copy = mem_alloc_array<char>(length + 1);
    if (copy) std::memcpy(copy, path, length + 1);
    return copy;
}

uint64_t could_not_open_text(const char* name, const char* reason, char* buffer, uint64_t size) {
    char text[LOAD_ERROR_SIZE];
    int length = std::snprintf(text, sizeof text, "Could not open \"%s\": %s.", name, reason);
    return copy_formatted(text, length, sizeof text, buffer, size);
}

uint64_t load_error_text(const char* name, JobResult result, uint64_t too_large_size, const char* system_text,
                         char* buffer, uint64_t size) {
    if (result == JobResult::TooBig) {
        char formatted[COUNT_TEXT_SIZE], text[LOAD_ERROR_SIZE];
        format_size(too_large_size, formatted, sizeof formatted);
        int length = std::snprintf(text, sizeof text, "\"%s\" is %s. Tarnwell opens files up to 4 GB.", name, formatted);
        return copy_formatted(text, length, sizeof text, buffer, size);
    }
    const char* reason = result == JobResult::OutOfMemory ? NOT_ENOUGH_MEMORY
                         : system_text                    ? system_text
                                                          : "it could not be read";
    return could_not_open_text(name, reason, buffer, size);
}

void show_load_error(App* app, DocWindow* window, const char* name, JobResult result, uint64_t too_large_size,
                     uint32_t os_error) {
    char system_text[SYSTEM_TEXT_SIZE];
    system_text[0] = 0;
    if (result == JobResult::ReadFailed && os_error != 0 && shows_system_error_text(app)) {
        app->host.platform->error_text(os_error, system_text, sizeof system_text);
        tidy_system_text(system_text);
    }
    char text[LOAD_ERROR_SIZE];
    load_error_text(name, result, too_large_size, system_text[0] ? system_text : nullptr, text, sizeof text);
    DocWindow* owner = is_open_window(app, window) ? window : nullptr;
    app->host.show_message(app->host.context, owner, "open-error", text, nullptr);
}

DocWindow* open_path(App* app, DocWindow* window, const char* path) {
    char full[OPEN_PATH_SIZE];
    if (!full_path(app, path, full)) {
        DocWindow* owner = is_open_window(app, window) ? window : nullptr;
        show_load_error(app, owner, file_name_of(path), JobResult::ReadFailed, 0, 0);
        return nullptr;
    }
    for (DocWindow* open = app->windows; open; open = open->next) {
        if (!open->path || !app->host.platform->same_path(open->path, full)) continue;
        notify_window(open, Notice::BringForward);
        return open;
    }
    DocWindow* given = is_open_window(app, window) ? window : nullptr;
    if (!memory_allows(app, given, full)) return nullptr;
    // The question's dialog runs messages, which may have closed the window.
    if (!is_open_window(app, given)) given = nullptr;
    DocWindow* target = choose_window(app, given);
    if (!target) return nullptr;
    bool was_start_page = target->start_page;
    Job* job = create_job(app, JobKind::OpenFile, target, finish_open_job);
    char* job_path = copy_path(full);
    char* window_path = copy_path(full);
    if (!job || !job_path || !window_path) {
        free_job(job);
        mem_free(job_path);
        mem_free(window_path);
        show_load_error(app, target, file_name_of(full), JobResult::OutOfMemory, 0, 0);
        restore_after_failed_open(app, target, was_start_page);
        return nullptr;
    }
    job->path = job_path;
    job->records = is_json_lines_path(full);
    job->was_start_page = was_start_page;
    mem_free(target->path);
    target->path = window_path;
    const char* name = file_name_of(window_path);
    set_display_name(target, name, std::strlen(name));
    target->start_page = 0;
    target->open_job = job;
    if (!app->host.platform->attribute_size(full, &target->file_size)) target->file_size = 0;
    target->progress = 0;
    target->progress_visible = 0;
    app->host.start_timer(app->host.context, target, DocTimer::Progress, DocTimer::ProgressDelayMs);
    notify_window(target, Notice::Title | Notice::Layout | Notice::Everything);
    start_job(job);
    if (brings_windows_forward(app)) notify_window(target, Notice::BringForward);
    return target;
}

bool install_document(DocWindow* window, Document* doc, uint32_t parse_time) {
    ViewState* view = create_view_state(doc, true);
    release(doc);
    if (!view) {
        show_load_error(window->app, window, window->display_name, JobResult::OutOfMemory, 0, 0);
        return false;
    }
    // The old view's search state goes with it, so its run must stop first.
    cancel_job(&window->search_job);
    forget_last_query(window);
    release_view_state(window->view);
    window->view = view;
    window->parse_time = parse_time;
    window->start_page = 0;
    window->problem_bar_dismissed = 0;
    notify_window(window, Notice::Title | Notice::Layout | Notice::List | Notice::StatusBar | Notice::Everything |
                              Notice::FocusListIfForeground | Notice::NewView | Notice::CentreSelection);
    window->app->host.document_installed(window->app->host.context, window);
    return true;
}

void restore_after_failed_open(App* app, DocWindow* window, bool was_start_page) {
    if (!is_open_window(app, window) || window->view) return;
    bool only_window = app->windows == window && !window->next;
    if (!was_start_page && !only_window) {
        close_doc_window(window);
        return;
    }
    window->start_page = 1;
    mem_free(window->path);
    window->path = nullptr;
    window->display_name[0] = 0;
    notify_window(window, Notice::Title | Notice::Layout | Notice::Everything);
}

namespace {

// Completion of an OpenFile Job.
void finish_open_job(Job* job) {
    DocWindow* window = job->window;
    if (!window) return;
    App* app = window->app;
    window->open_job = nullptr;
    app->host.stop_timer(app->host.context, window, DocTimer::Progress);
    window->progress_visible = 0;
    notify_window(window, Notice::TopBar | Notice::StatusBar);
    if (job->cancel.load() != 0 || job->result == JobResult::Cancelled) return;
    window->file_identity = job->file_identity;
    if (job->result != JobResult::Ok) {
        show_load_error(app, window, window->display_name, job->result, job->too_large_size, job->os_error);
        restore_after_failed_open(app, window, job->was_start_page);
        return;
    }
    Document* doc = job->result_document;
    job->result_document = nullptr;
    if (!install_document(window, doc, job->parse_time)) {
        restore_after_failed_open(app, window, job->was_start_page);
        return;
    }
    if (add_recent(&app->settings, window->path)) save_settings_later(app);
    notify_every_window(app, Notice::StartPage);
}

}  // namespace
