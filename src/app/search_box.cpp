#include "app/search_box.h"

#include <cstring>

#include "app/app.h"
#include "app/commands.h"
#include "app/doc_window.h"
#include "app/jobs.h"
#include "base/memory.h"
#include "views/search_view.h"
#include "views/view_state.h"

namespace {

void search_job_progress(Job* job, uint32_t per_mille);
void finish_search_job(Job* job);

constexpr uint32_t SEARCH_ERROR_SIZE = 256;
constexpr uint32_t COUNTER_CHANGED = Notice::StatusBar | Notice::TopBar;

const AppHost& host_of(const DocWindow* window) { return window->app->host; }

void stop_debounce(DocWindow* window) {
    host_of(window).stop_timer(host_of(window).context, window, DocTimer::SearchDebounce);
}

// Replaces an owned text with a copy of `text`; false (the old one kept) when
// memory runs out.
bool replace_text(char** owned, uint64_t* owned_length, const char* text, uint64_t length) {
    char* copy = nullptr;
    if (length) {
        copy = mem_alloc_array<char>(length + 1);
        if (!copy) return false;
        std::memcpy(copy, text, length);
        copy[length] = 0;
    }
    mem_free(*owned);
    *owned = copy;
    *owned_length = length;
    return true;
}

void set_in_error(DocWindow* window, bool in_error) {
    if (window->search_box.in_error == in_error) return;
    window->search_box.in_error = in_error ? 1 : 0;
    notify_window(window, Notice::SearchBox);
}

// The program's own change of the box text, which must not start a search.
bool set_box_text(DocWindow* window, const char* text, uint64_t length) {
    SearchBox* box = &window->search_box;
    if (!replace_text(&box->text, &box->length, text, length)) return false;
    box->suppress = 1;
    notify_window(window, Notice::SearchBoxText);
    box->suppress = 0;
    return true;
}

void remember_query(DocWindow* window, const SearchOptions* options) {
    SearchBox* box = &window->search_box;
    forget_last_query(window);
    if (!replace_text(&box->last_query, &box->last_query_length, box->text, box->length)) return;
    box->last_options = *options;
    box->has_last_query = 1;
}

// Attaches the compiled state and runs it in a Search Job. False when there
// is no memory for the Job: the search is then detached again.
bool start_search(DocWindow* window, SearchState* state) {
    attach_search(window->view, state);
    Job* job = create_job(window->app, JobKind::Search, window, finish_search_job);
    if (!job) {
        attach_search(window->view, nullptr);
        return false;
    }
    job->progress = search_job_progress;
    job->search = state;
    window->search_job = job;
    start_job(job);
    return true;
}

void search_failed(DocWindow* window, const char* message) {
    App* app = window->app;
    attach_search(window->view, nullptr);
    report_to_script(app, "search-error", message);
    set_message_bar(window, message, true);
    set_in_error(window, true);
}

void option_changed(DocWindow* window) {
    save_settings_later(window->app);
    notify_every_window(window->app, Notice::TopBar);
    if (window->view && window->search_box.length) run_search_now(window);
}

}  // namespace

SearchOptions current_search_options(const DocWindow* window) {
    const Settings& settings = window->app->settings;
    SearchOptions options{};
    options.match_case = settings.search_case ? 1 : 0;
    options.regex = settings.search_regex ? 1 : 0;
    bool known_scope = settings.search_scope >= 0 && settings.search_scope <= 2;
    options.scope = known_scope ? static_cast<uint8_t>(settings.search_scope) : 0;
    return options;
}

void forget_last_query(DocWindow* window) {
    SearchBox* box = &window->search_box;
    mem_free(box->last_query);
    box->last_query = nullptr;
    box->last_query_length = 0;
    box->has_last_query = 0;
}

void release_search_box(DocWindow* window) {
    cancel_job(&window->search_job);
    forget_last_query(window);
    mem_free(window->search_box.text);
    window->search_box.text = nullptr;
    window->search_box.length = 0;
}

void search_box_changed(DocWindow* window, const char* text, uint64_t length) {
    SearchBox* box = &window->search_box;
    if (box->suppress) return;
    if (!replace_text(&box->text, &box->length, text, length)) return;
    box->dirty = 1;
    clear_message_bar_error(window);
    if (box->in_error) {
        set_in_error(window, false);
        notify_window(window, Notice::TopBar);
    }
    host_of(window).start_timer(host_of(window).context, window, DocTimer::SearchDebounce,
                                DocTimer::SearchDebounceDelayMs);
}

void run_search_now(DocWindow* window) {
    SearchBox* box = &window->search_box;
    stop_debounce(window);
    box->dirty = 0;
    ViewState* view = window->view;
    if (!view) return;
    cancel_job(&window->search_job);
    forget_last_query(window);
    SearchOptions options = current_search_options(window);
    if (box->length == 0) {
        attach_search(view, nullptr);
        clear_message_bar_error(window);
        set_in_error(window, false);
    } else {
        char error[SEARCH_ERROR_SIZE];
        SearchState* state = compile_search(document(view), reinterpret_cast<const uint8_t*>(box->text), box->length,
                                            &options, error, sizeof error);
        if (!state) {
            search_failed(window, error);
        } else if (start_search(window, state)) {
            clear_message_bar_error(window);
            set_in_error(window, false);
            remember_query(window, &options);
        }
    }
    notify_window(window, COUNTER_CHANGED);
}

void search_box_enter(DocWindow* window, bool shift) {
    const SearchBox& box = window->search_box;
    if (shift) run_command(window, CommandId::FindPrevious);
    else if (box.dirty || !box.has_last_query) run_search_now(window);
    else run_command(window, CommandId::FindNext);
}

void clear_search(DocWindow* window) {
    stop_debounce(window);
    cancel_job(&window->search_job);
    forget_last_query(window);
    window->search_box.dirty = 0;
    attach_search(window->view, nullptr);
    clear_message_bar_error(window);
    set_in_error(window, false);
    set_box_text(window, "", 0);
    notify_window(window, Notice::FocusList | COUNTER_CHANGED);
}

void rerun_last_search(DocWindow* window) {
    SearchBox* box = &window->search_box;
    if (!box->has_last_query || !window->view) return;
    char error[SEARCH_ERROR_SIZE];
    SearchState* state = compile_search(document(window->view), reinterpret_cast<const uint8_t*>(box->last_query),
                                        box->last_query_length, &box->last_options, error, sizeof error);
    if (!state || !start_search(window, state)) forget_last_query(window);
}

void set_search_from_script(DocWindow* window, const char* text, uint64_t length, const SearchOptions* options) {
    if (!window->view) return;
    Settings* settings = &window->app->settings;
    settings->search_case = options->match_case ? 1 : 0;
    settings->search_regex = options->regex ? 1 : 0;
    settings->search_scope = options->scope <= 2 ? options->scope : 0;
    save_settings_later(window->app);
    notify_every_window(window->app, Notice::TopBar);
    if (set_box_text(window, text, length)) run_search_now(window);
}

void toggle_match_case(DocWindow* window) {
    window->app->settings.search_case = window->app->settings.search_case ? 0 : 1;
    option_changed(window);
}

void toggle_regex(DocWindow* window) {
    window->app->settings.search_regex = window->app->settings.search_regex ? 0 : 1;
    option_changed(window);
}

void choose_scope(DocWindow* window, SearchScope scope) {
    int32_t chosen = static_cast<int32_t>(scope);
    if (window->app->settings.search_scope == chosen) return;
    window->app->settings.search_scope = chosen;
    option_changed(window);
}

namespace {

// Progress and completion of a Search Job.
void search_job_progress(Job* job, uint32_t) {
    follow_search(job->window->view);
    notify_window(job->window, COUNTER_CHANGED | Notice::List | Notice::CentreSelection);
}

void finish_search_job(Job* job) {
    DocWindow* window = job->window;
    if (!window) return;
    if (window->search_job == job) window->search_job = nullptr;
    follow_search(window->view);
    notify_window(window, COUNTER_CHANGED | Notice::List | Notice::CentreSelection);
}

}  // namespace
