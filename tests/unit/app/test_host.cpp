#include "test_host.h"

#include <cstdio>
#include <cstring>

#include "app/clipboard.h"
#include "base/memory.h"

uint64_t test_total_memory = 0;

namespace {

TestHost* host_of(void* context) { return static_cast<TestHost*>(context); }

void close_owner(TestHost* host, DocWindow* owner) {
    if (host->dialogs_close_owner && is_open_window(&host->app, owner)) close_doc_window(owner);
}

void record(void* context, DocWindow* owner, const char* key, const char* text, const char*) {
    close_owner(host_of(context), owner);
    host_of(context)->lines.push_back(std::string(key) + "=" + text);
}

}  // namespace

TestHost::TestHost(bool script_mode) {
    io = *file_io();
    io.total_memory = [] { return test_total_memory; };
    AppHost host{};
    host.context = this;
    host.platform = &io;
    host.set_clipboard_text = [](void* context, const char* text, uint64_t length) {
        TestHost* self = host_of(context);
        if (self->clipboard_refuses) return false;
        self->clipboard.assign(text, length);
        return self->has_clipboard = true;
    };
    host.get_clipboard_text = [](void* context, uint64_t* length) -> char* {
        TestHost* self = host_of(context);
        char* text = self->has_clipboard ? mem_alloc_array<char>(self->clipboard.size() + 1) : nullptr;
        if (text) std::memcpy(text, self->clipboard.c_str(), self->clipboard.size() + 1);
        if (text) *length = self->clipboard.size();
        return text;
    };
    host.show_message = record;
    host.ask = [](void* context, DocWindow* owner, const char* question, const char*) {
        close_owner(host_of(context), owner);
        host_of(context)->questions.push_back(question);
        return host_of(context)->answer_yes;
    };
    host.write_script_line = [](void* context, const char* key, const char* text) {
        host_of(context)->lines.push_back(std::string(key) + "=" + text);
    };
    host.start_job_thread = [](void* context, Job* job) {
        host_of(context)->jobs_started++;
        run_job(job);
        return true;
    };
    host.wait_job_thread = host.release_job_thread = [](void*, Job*) {};
    host.post_job_progress = [](void*, Job*, uint32_t) {};
    host.post_job_done = [](void* context, Job* job) { host_of(context)->posted.push_back(job); };
    host.start_timer = [](void* context, DocWindow* window, uint32_t id, uint32_t ms) {
        host_of(context)->timers[{window, id}] = ms;
    };
    host.stop_timer = [](void* context, DocWindow* window, uint32_t id) { host_of(context)->timers.erase({window, id}); };
    host.notify = [](void* context, DocWindow* window, uint32_t bits) { host_of(context)->notices[window] |= bits; };
    host.create_window = [](void*, DocWindow*) { return true; };
    host.destroy_window = [](void* context, DocWindow* window) {
        TestHost* self = host_of(context);
        std::erase_if(self->timers, [&](const auto& timer) { return timer.first.first == window; });
        self->notices.erase(window);
    };
    host.all_windows_closed = [](void* context) { host_of(context)->all_closed = true; };
    host.document_installed = [](void*, DocWindow*) {};
    host.run_window_command = [](void*, DocWindow*, uint32_t) {};
    host.schedule_settings_save = [](void* context) { host_of(context)->saves_scheduled++; };
    init_app(&app, &host);
    if (script_mode) set_script_mode(&app, 0, 0);
}

TestHost::~TestHost() {
    pump();
    while (app.windows) close_doc_window(app.windows);
    pump();
}

void TestHost::pump() {
    while (!posted.empty()) {
        Job* job = posted.front();
        posted.pop_front();
        job_done(job);
    }
}

DocWindow* TestHost::open_text(const std::string& text) {
    has_clipboard = true;
    clipboard = text;
    open_from_clipboard(&app, nullptr);
    pump();
    return app.windows;
}

uint32_t TestHost::window_count() const {
    uint32_t count = 0;
    for (DocWindow* window = app.windows; window; window = window->next) count++;
    return count;
}

bool TestHost::timer_running(DocWindow* window, uint32_t id) const { return timers.count({window, id}) != 0; }

std::string write_test_file(const std::string& name, const std::string& content) {
    std::string path = std::string(TARNWELL_TEST_TMP) + "/" + name;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file) {
        std::fwrite(content.data(), 1, content.size(), file);
        std::fclose(file);
    }
    return path;
}
