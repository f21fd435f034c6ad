// A Job's life on the user-interface thread: creating, starting, cancelling,
// progress, completion and freeing. The worker's side is job_work.cpp.
#include "app/jobs.h"

#include <new>

#include "app/app.h"
#include "app/doc_window.h"
#include "base/memory.h"
#include "views/text_view.h"
#include "views/view_state.h"

namespace {

void unlink_running(Job* job) {
    for (Job** link = &job->app->running_jobs; *link; link = &(*link)->next) {
        if (*link == job) {
            *link = job->next;
            job->next = nullptr;
            return;
        }
    }
}

}  // namespace

Job* create_job(App* app, JobKind kind, DocWindow* window, JobFinish finish) {
    void* memory = mem_alloc_zeroed(sizeof(Job));
    if (!memory) return nullptr;
    Job* job = new (memory) Job{};
    job->kind = kind;
    job->finish = finish;
    job->app = app;
    job->window = window;
    job->select_line = NO_LINE;
    return job;
}

void start_job(Job* job) {
    App* app = job->app;
    job->next = app->running_jobs;
    app->running_jobs = job;
    if (!app->host.start_job_thread(app->host.context, job)) {
        job->result = JobResult::OutOfMemory;
        app->host.post_job_done(app->host.context, job);
    }
}

void cancel_job(Job** slot) {
    Job* job = *slot;
    if (!job) return;
    job->cancel.exchange(1);
    job->app->host.wait_job_thread(job->app->host.context, job);
    job->window = nullptr;
    *slot = nullptr;
}

void free_job(Job* job) {
    if (!job) return;
    if (job->result_document) release(job->result_document);
    if (job->source_document) release(job->source_document);
    release_text_view(job->result_text_view);
    mem_free(job->text);
    job->app->host.release_job_thread(job->app->host.context, job);
    mem_free(job->path);
    job->~Job();
    mem_free(job);
}

void job_progress(Job* job, uint32_t per_mille) {
    DocWindow* window = job->window;
    if (!window || job->cancel.load() != 0) return;
    if (job->progress) {
        job->progress(job, per_mille);
        return;
    }
    window->progress = per_mille;
    if (window->progress_visible) job->app->host.notify(job->app->host.context, window, Notice::TopBar | Notice::StatusBar);
}

void job_done(Job* job) {
    unlink_running(job);
    job->finish(job);
    free_job(job);
}

// A clipboard Job only loses its target: its Document then opens in a new
// window. Every other Job without a window has nothing left to do.
void detach_window_jobs(App* app, DocWindow* window) {
    for (Job* job = app->running_jobs; job; job = job->next) {
        if (job->target_window == window) job->target_window = nullptr;
        if (job->window != window) continue;
        job->window = nullptr;
        job->cancel.exchange(1);
    }
}
