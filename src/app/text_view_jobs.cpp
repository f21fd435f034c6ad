#include "app/text_view_jobs.h"

#include "app/app.h"
#include "app/doc_window.h"
#include "app/jobs.h"
#include "views/text_view.h"
#include "views/view_state.h"

namespace {

void finish_text_view_job(Job* job);

// The selection's row in the other view is seldom near the old top row.
constexpr uint32_t VIEW_CHANGED = Notice::List | Notice::StatusBar | Notice::TopBar | Notice::CentreSelection;

// Puts the caret on `line`, clamped to the last line.
void select_line(ViewState* view, uint32_t line) {
    uint32_t count = text_line_count(text_view(view));
    if (count == 0) return;
    click_row(view, line < count ? line : count - 1, false, 0);
}

// Without memory for the Job the view simply stays as it is.
void start_text_view_job(DocWindow* window, uint32_t mode, uint32_t line) {
    App* app = window->app;
    Job* job = create_job(app, JobKind::BuildTextView, window, finish_text_view_job);
    if (!job) return;
    job->source_document = retain(document(window->view));
    job->text_mode = mode;
    job->select_line = line;
    window->text_view_job = job;
    window->progress = 0;
    app->host.start_timer(app->host.context, window, DocTimer::Progress, DocTimer::ProgressDelayMs);
    start_job(job);
}

}  // namespace

void show_tree_view(DocWindow* window) {
    if (set_view_mode(window->view, VIEW_MODE_TREE)) notify_window(window, VIEW_CHANGED);
}

void show_text_view(DocWindow* window) {
    ViewState* view = window->view;
    if (!view || window->text_view_job) return;
    TextView* text = text_view(view);
    if (!text) {
        start_text_view_job(window, preferred_text_mode(document(view)), NO_LINE);
    } else if (view_mode(view) == VIEW_MODE_TEXT) {
        uint32_t other = text_view_mode(text) == TEXT_SOURCE ? TEXT_PRETTY : TEXT_SOURCE;
        start_text_view_job(window, other, NO_LINE);
    } else if (set_view_mode(view, VIEW_MODE_TEXT)) {
        notify_window(window, VIEW_CHANGED);
    }
}

void show_problem_in_text(DocWindow* window) {
    ViewState* view = window->view;
    if (!view || window->text_view_job) return;
    const ProblemInfo* problem = problem_info(document(view), 0);
    if (!problem) return;
    uint32_t line = problem->line ? problem->line - 1 : 0;
    TextView* text = text_view(view);
    if (!text || text_view_mode(text) != TEXT_SOURCE) {
        start_text_view_job(window, TEXT_SOURCE, line);
        return;
    }
    set_view_mode(view, VIEW_MODE_TEXT);
    select_line(view, line);
    notify_window(window, VIEW_CHANGED | Notice::ResetHorizontalScroll);
}

namespace {

// Completion of a BuildTextView Job.
void finish_text_view_job(Job* job) {
    DocWindow* window = job->window;
    if (!window) return;
    App* app = window->app;
    window->text_view_job = nullptr;
    if (!window->open_job && !window->reload_job) {
        app->host.stop_timer(app->host.context, window, DocTimer::Progress);
        window->progress_visible = 0;
    }
    notify_window(window, Notice::TopBar | Notice::StatusBar);
    ViewState* view = window->view;
    if (!view || !job->result_text_view || document(view) != job->source_document) return;
    set_text_view(view, job->result_text_view);
    job->result_text_view = nullptr;
    set_view_mode(view, VIEW_MODE_TEXT);
    if (job->select_line != NO_LINE) select_line(view, job->select_line);
    notify_window(window, VIEW_CHANGED | Notice::ResetHorizontalScroll);
}

}  // namespace
