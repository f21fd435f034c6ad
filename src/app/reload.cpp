// Checking a shown file for changes and reloading it in place.
#include "app/reload.h"

#include <cstdio>
#include <ctime>

#include "app/app.h"
#include "app/doc_window.h"
#include "app/jobs.h"
#include "app/open_file.h"
#include "app/search_box.h"
#include "base/memory.h"
#include "views/reload_snapshot.h"
#include "views/view_state.h"

const char FILE_MISSING_TEXT[] = "The file was deleted or moved. Showing the last version.";

namespace {

void finish_reload_job(Job* job);

constexpr uint32_t RELOADED_SIZE = 32;

const AppHost& host_of(const DocWindow* window) { return window->app->host; }

void mark_file_missing(DocWindow* window) {
    if (window->file_missing) return;
    window->file_missing = 1;
    window->problem_bar_dismissed = 0;
    notify_window(window, Notice::Layout | Notice::Everything);
}

void flash_reloaded(DocWindow* window) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    if (const std::tm* converted = std::localtime(&now)) local = *converted;
    char text[RELOADED_SIZE];
    std::snprintf(text, sizeof text, "Reloaded %02u:%02u:%02u", static_cast<unsigned>(local.tm_hour),
                  static_cast<unsigned>(local.tm_min), static_cast<unsigned>(local.tm_sec));
    flash_status(window, text);
}

// The query that was running goes on over the same Document, with the
// selection left where the cancelled run had left it.
void resume_search(DocWindow* window) {
    uint8_t moved = window->view->user_moved;
    rerun_last_search(window);
    window->view->user_moved = moved;
}

// Carries the view over to the Job's Document. False, with nothing changed
// but the cancelled search, when memory runs out.
bool replace_document(DocWindow* window, Job* job) {
    const AppHost& host = host_of(window);
    uint32_t list_top = host.list_top_row ? host.list_top_row(host.context, window) : 0;
    ReloadSnapshot* snapshot = capture_snapshot(window->view, list_top);
    uint32_t top_row = 0;
    ViewState* view = snapshot ? restore_snapshot(job->result_document, snapshot, &top_row) : nullptr;
    release_snapshot(snapshot);
    if (!view) return false;
    release_view_state(window->view);
    window->view = view;
    window->file_identity = job->file_identity;
    window->reload_count++;
    window->parse_time = job->parse_time;
    window->file_missing = 0;
    window->problem_bar_dismissed = 0;
    rerun_last_search(window);
    // Only the re-run search must keep the restored selection; a search the
    // user starts later jumps to its first match again.
    view->restored = 0;
    flash_reloaded(window);
    notify_window(window,
                  Notice::Layout | Notice::List | Notice::StatusBar | Notice::TopBar | Notice::Everything | Notice::NewView);
    return true;
}

}  // namespace

bool same_identity(const FileIdentity& a, const FileIdentity& b) {
    if (!a.valid || !b.valid) return !a.valid && !b.valid;
    return a.volume_serial == b.volume_serial && a.index_high == b.index_high && a.index_low == b.index_low &&
           a.size_high == b.size_high && a.size_low == b.size_low && a.last_write_time == b.last_write_time;
}

void file_change_notice(DocWindow* window, uint64_t now_ms) {
    if (!window->path || !change_notice(&window->change_burst, now_ms)) return;
    const AppHost& host = host_of(window);
    host.start_timer(host.context, window, DocTimer::FileChanged, DocTimer::FileChangedDelayMs);
}

void check_file_changed(DocWindow* window) {
    if (!window->view || !window->path) return;
    if (window->reload_job) {
        window->reload_again = 1;
        return;
    }
    FileIdentity now = host_of(window).platform->file_identity_of_path(window->path);
    if (same_identity(now, window->file_identity)) return;
    if (!now.valid) {
        // Stored, so that the file staying away is no news.
        window->file_identity = now;
        mark_file_missing(window);
        return;
    }
    start_reload(window, false);
}

void start_reload(DocWindow* window, bool manual) {
    if (!window->view || !window->path) return;
    if (window->reload_job) {
        window->reload_again = 1;
        return;
    }
    App* app = window->app;
    Job* job = create_job(app, JobKind::ReloadFile, window, finish_reload_job);
    char* path = copy_path(window->path);
    if (!job || !path) {
        free_job(job);
        mem_free(path);
        return;
    }
    job->path = path;
    job->records = is_json_lines_path(path);
    job->manual = manual ? 1 : 0;
    if (!app->host.platform->attribute_size(path, &window->file_size)) window->file_size = 0;
    window->reload_job = job;
    window->progress = 0;
    window->progress_visible = 0;
    app->host.start_timer(app->host.context, window, DocTimer::Progress, DocTimer::ProgressDelayMs);
    start_job(job);
}

namespace {

// Completion of a ReloadFile Job. On success the window gets a new ViewState,
// whose restored_top_row is the row (or line) to show at the top of the list.
// When the snapshot or the restore runs out of memory the old Document stays
// and the file's old identity is kept, so that the next check tries again.
void finish_reload_job(Job* job) {
    DocWindow* window = job->window;
    if (!window) return;
    App* app = window->app;
    if (window->reload_job == job) window->reload_job = nullptr;
    if (!window->open_job && !window->text_view_job) {
        app->host.stop_timer(app->host.context, window, DocTimer::Progress);
        window->progress_visible = 0;
    }
    notify_window(window, Notice::TopBar | Notice::StatusBar);
    if (!window->view || job->result == JobResult::Cancelled) return;
    if (job->result != JobResult::Ok || !job->result_document) {
        window->file_identity = job->file_identity;
        if (job->manual) report_to_script(app, "reload-error", FILE_MISSING_TEXT);
        mark_file_missing(window);
    } else {
        bool searching = window->search_job != nullptr;
        cancel_job(&window->search_job);
        if (!replace_document(window, job) && searching) resume_search(window);
    }
    if (window->reload_again) {
        window->reload_again = 0;
        check_file_changed(window);
    }
}

}  // namespace
