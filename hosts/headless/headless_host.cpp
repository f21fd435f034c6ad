// The headless host: the AppHost table for a program without windows. It only
// carries requests out; script mode itself is the portable src/script.
#include "headless_host.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "app/app.h"
#include "app/commands.h"
#include "app/doc_window.h"
#include "app/jobs.h"
#include "app/program.h"
#include "base/memory.h"

namespace {

// A worker's post, waiting for the user-interface thread.
struct Posted {
    Job* job;
    bool done;
    uint32_t per_mille;
};

struct HeadlessHost {
    Program program;
    std::mutex mutex;
    std::condition_variable arrived;
    std::deque<Posted> posted;
    bool has_clipboard = false;
    std::string clipboard;
    bool all_closed = false;
};

HeadlessHost* host_of(void* context) { return static_cast<HeadlessHost*>(context); }

bool set_clipboard_text(void* context, const char* text, uint64_t length) {
    HeadlessHost* host = host_of(context);
    host->clipboard.assign(text, length);
    host->has_clipboard = true;
    return true;
}

char* get_clipboard_text(void* context, uint64_t* length) {
    HeadlessHost* host = host_of(context);
    if (!host->has_clipboard) return nullptr;
    char* text = mem_alloc_array<char>(host->clipboard.size() + 1);
    if (!text) return nullptr;
    std::memcpy(text, host->clipboard.c_str(), host->clipboard.size() + 1);
    *length = host->clipboard.size();
    return text;
}

void show_message(void* context, DocWindow*, const char* key, const char* text, const char*) {
    script_message(&host_of(context)->program.script, key, text);
}

bool ask(void* context, DocWindow*, const char* question, const char* button) {
    return script_answer(&host_of(context)->program.script, question, button);
}

void write_script_line(void* context, const char* key, const char* text) {
    script_message(&host_of(context)->program.script, key, text);
}

// A thread that cannot be made is reported, and the Job completes as out of memory.
bool start_job_thread(void*, Job* job) {
    try {
        job->thread = new std::thread(run_job, job);
        return true;
    } catch (...) {
        return false;
    }
}

void wait_job_thread(void*, Job* job) {
    auto* thread = static_cast<std::thread*>(job->thread);
    if (thread && thread->joinable()) thread->join();
}

void release_job_thread(void* context, Job* job) {
    wait_job_thread(context, job);
    delete static_cast<std::thread*>(job->thread);
    job->thread = nullptr;
}

void post(void* context, Posted posted) {
    HeadlessHost* host = host_of(context);
    {
        std::lock_guard<std::mutex> lock(host->mutex);
        host->posted.push_back(posted);
    }
    host->arrived.notify_one();
}

void post_job_progress(void* context, Job* job, uint32_t per_mille) { post(context, Posted{job, false, per_mille}); }

void post_job_done(void* context, Job* job) { post(context, Posted{job, true, 0}); }

// Timers only pace what a screen shows (progress, the flash text, typing in
// the search box, which scripts do not do), so none ever needs to fire here.
void start_timer(void*, DocWindow*, uint32_t, uint32_t) {}
void stop_timer(void*, DocWindow*, uint32_t) {}
void notify(void*, DocWindow*, uint32_t) {}

bool create_window(void*, DocWindow*) { return true; }

void destroy_window(void* context, DocWindow* window) { script_window_closed(&host_of(context)->program.script, window); }

void all_windows_closed(void* context) { host_of(context)->all_closed = true; }

void document_installed(void* context, DocWindow* window) {
    script_document_installed(&host_of(context)->program.script, window);
}

// Close and Exit only close windows; the other window commands (the Open
// dialog, the go-to box, text sizes) need the program's windows.
void run_window_command(void* context, DocWindow* window, uint32_t command_id) {
    HeadlessHost* host = host_of(context);
    if (command_id == CommandId::Close) {
        close_doc_window(window);
    } else if (command_id == CommandId::Exit) {
        while (host->program.app.windows) close_doc_window(host->program.app.windows);
    } else {
        script_refuse_command(&host->program.script);
    }
}

// The program saves its settings once, when it ends.
void schedule_settings_save(void*) {}

AppHost headless_host_table(HeadlessHost* host) {
    AppHost table{};
    table.context = host;
    table.platform = file_io();
    table.set_clipboard_text = set_clipboard_text;
    table.get_clipboard_text = get_clipboard_text;
    table.show_message = show_message;
    table.ask = ask;
    table.write_script_line = write_script_line;
    table.start_job_thread = start_job_thread;
    table.wait_job_thread = wait_job_thread;
    table.release_job_thread = release_job_thread;
    table.post_job_progress = post_job_progress;
    table.post_job_done = post_job_done;
    table.start_timer = start_timer;
    table.stop_timer = stop_timer;
    table.notify = notify;
    table.create_window = create_window;
    table.destroy_window = destroy_window;
    table.all_windows_closed = all_windows_closed;
    table.document_installed = document_installed;
    table.run_window_command = run_window_command;
    table.schedule_settings_save = schedule_settings_save;
    return table;
}

// Hands one worker post to the App, waiting for one until `deadline`. False
// when none came.
bool handle_one_post(HeadlessHost* host, std::chrono::steady_clock::time_point deadline) {
    Posted posted;
    {
        std::unique_lock<std::mutex> lock(host->mutex);
        if (!host->arrived.wait_until(lock, deadline, [host] { return !host->posted.empty(); })) return false;
        posted = host->posted.front();
        host->posted.pop_front();
    }
    if (posted.done) job_done(posted.job);
    else job_progress(posted.job, posted.per_mille);
    return true;
}

void handle_posts_until(HeadlessHost* host, std::chrono::steady_clock::time_point deadline) {
    while (handle_one_post(host, deadline)) {
    }
}

void run_steps(HeadlessHost* host) {
    Script* script = &host->program.script;
    while (!script->finished) {
        // Closing the last window ends the program, script or not.
        if (host->all_closed) {
            end_script(script, SCRIPT_EXIT_OK);
            break;
        }
        auto now = std::chrono::steady_clock::now();
        switch (script_step(script)) {
        case ScriptPause::UntilIdle:
            handle_one_post(host, now + std::chrono::milliseconds(SCRIPT_RETRY_MS));
            break;
        case ScriptPause::ForTime: handle_posts_until(host, now + std::chrono::milliseconds(script->pause_ms)); break;
        default: handle_posts_until(host, now); break;
        }
    }
}

// Jobs still running when the windows have gone finish without effect.
void finish_jobs(HeadlessHost* host) {
    while (jobs_running(&host->program.app)) handle_one_post(host, std::chrono::steady_clock::now() + std::chrono::seconds(1));
}

}  // namespace

int run_script_program(int argument_count, const char* const* arguments, FILE* diagnostics) {
    auto host = std::make_unique<HeadlessHost>();
    Program* program = &host->program;
    bool needs_settings = false;
    if (!begin_program(program, argument_count, arguments, &needs_settings)) {
        if (needs_settings && !program->line.test_out) std::fputs(SCRIPT_NEEDS_SETTINGS, diagnostics);
        if (needs_settings) return program->exit_code;
        // Without windows the program runs only scripts, and a script that could not run fails with 2.
        std::fputs("tarnwell-cli: out of memory\n", diagnostics);
        return SCRIPT_EXIT_FAILED;
    }
    if (!program->line.test_script) {
        std::fputs("tarnwell-cli: without windows, the program runs only a script (--test-script FILE)\n", diagnostics);
        mem_free(program->files);
        return SCRIPT_EXIT_FAILED;
    }
    AppHost table = headless_host_table(host.get());
    load_program_settings(program, &table, nullptr);
    if (!open_program_files(program)) {
        std::fputs("tarnwell-cli: out of memory\n", diagnostics);
    } else if (program->script_started) {
        run_steps(host.get());
    } else {
        const char* output = program->line.test_out ? program->line.test_out : DEFAULT_SCRIPT_OUTPUT;
        std::fprintf(diagnostics, "tarnwell-cli: cannot read the script %s or write the output %s\n",
                     program->line.test_script, output);
    }
    finish_jobs(host.get());
    return end_program(program);
}
