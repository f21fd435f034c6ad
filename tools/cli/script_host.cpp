// The headless host: the AppHost table for a program without windows. It only
// carries requests out; script mode itself is the portable src/script.
#include "script_host.h"

#include <chrono>
#include <memory>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/app.h"
#include "app/commands.h"
#include "app/doc_window.h"
#include "app/jobs.h"
#include "app/open_file.h"
#include "base/memory.h"
#include "files/settings_store.h"
#include "script/command_line.h"
#include "script/script.h"

namespace {

// A worker's post, waiting for the user-interface thread.
struct Posted {
    Job* job;
    bool done;
    uint32_t per_mille;
};

struct HeadlessHost {
    App app;
    Script script;
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
    script_message(&host_of(context)->script, key, text);
}

bool ask(void* context, DocWindow*, const char* question, const char* button) {
    return script_answer(&host_of(context)->script, question, button);
}

void write_script_line(void* context, const char* key, const char* text) {
    script_message(&host_of(context)->script, key, text);
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

void destroy_window(void* context, DocWindow* window) { script_window_closed(&host_of(context)->script, window); }

void all_windows_closed(void* context) { host_of(context)->all_closed = true; }

void document_installed(void* context, DocWindow* window) {
    script_document_installed(&host_of(context)->script, window);
}

// Close and Exit only close windows; the other window commands (the Open
// dialog, the go-to box, text sizes) need the program's windows.
void run_window_command(void* context, DocWindow* window, uint32_t command_id) {
    HeadlessHost* host = host_of(context);
    if (command_id == CommandId::Close) {
        close_doc_window(window);
    } else if (command_id == CommandId::Exit) {
        while (host->app.windows) close_doc_window(host->app.windows);
    } else {
        script_refuse_command(&host->script);
    }
}

// The program saves its settings once, when it ends.
void schedule_settings_save(void*) {}

AppHost headless_host_table(HeadlessHost* host) {
    AppHost table{};
    table.context = host;
    table.platform = platform_io();
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
    Script* script = &host->script;
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
    while (jobs_running(&host->app)) handle_one_post(host, std::chrono::steady_clock::now() + std::chrono::seconds(1));
}

int refuse_without_settings(const CommandLine& line, FILE* diagnostics) {
    FILE* out = line.test_out ? std::fopen(line.test_out, "wb") : nullptr;
    if (out) {
        std::fputs(SCRIPT_NEEDS_SETTINGS, out);
        std::fclose(out);
    } else {
        std::fputs(SCRIPT_NEEDS_SETTINGS, diagnostics);
    }
    return SCRIPT_EXIT_FAILED;
}

}  // namespace

int run_script_program(int argument_count, const char* const* arguments, FILE* diagnostics) {
    std::vector<const char*> files(static_cast<size_t>(argument_count));
    CommandLine line;
    read_command_line(argument_count, arguments, files.data(), &line);
    if (!line.test_script) {
        std::fputs("tarnwell-cli: without windows, the program runs only a script (--test-script FILE)\n", diagnostics);
        return SCRIPT_EXIT_FAILED;
    }
    if (!line.settings) return refuse_without_settings(line, diagnostics);

    auto host = std::make_unique<HeadlessHost>();
    AppHost table = headless_host_table(host.get());
    init_app(&host->app, &table);
    App* app = &host->app;
    app->script_mode = 1;
    app->read_delay_ms = line.slow_read_ms;
    app->test_ram = line.test_ram;
    const SettingsIo* io = platform_settings_io();
    SettingsPath settings_path;
    load_settings(&app->settings, &settings_path, line.settings, io);

    bool opened = false;
    for (uint32_t i = 0; i < line.file_count; i++) opened |= open_path(app, nullptr, line.files[i]) != nullptr;
    if (!opened && !create_doc_window(app, true)) {
        std::fputs("tarnwell-cli: out of memory\n", diagnostics);
        return SCRIPT_EXIT_FAILED;
    }
    const char* output = line.test_out ? line.test_out : DEFAULT_SCRIPT_OUTPUT;
    if (start_script(&host->script, app, io, line.test_script, output)) run_steps(host.get());
    else std::fprintf(diagnostics, "tarnwell-cli: cannot read the script %s or write the output %s\n", line.test_script, output);
    finish_jobs(host.get());
    // A settings file that cannot be written is not reported, as in the program.
    (void)save_settings(&app->settings, &settings_path, io);
    release_script(&host->script);
    return host->script.exit_code;
}
