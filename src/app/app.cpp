#include "app/app.h"

#include <cstring>

#include "app/doc_window.h"

void init_app(App* app, const AppHost* host) {
    std::memset(static_cast<void*>(app), 0, sizeof *app);
    app->host = *host;
    set_default_settings(&app->settings);
}

void set_script_mode(App* app, uint32_t read_delay_ms, uint64_t test_ram) {
    app->script_mode = 1;
    app->read_delay_ms = read_delay_ms;
    app->test_ram = test_ram;
}

void report_to_script(App* app, const char* key, const char* text) {
    if (app->script_mode) app->host.write_script_line(app->host.context, key, text);
}

uint64_t memory_for_check(const App* app) {
    return app->script_mode && app->test_ram ? app->test_ram : app->host.platform->total_memory();
}

bool brings_windows_forward(const App* app) { return !app->script_mode; }

bool shows_system_error_text(const App* app) { return !app->script_mode; }

void save_settings_later(App* app) { app->host.schedule_settings_save(app->host.context); }

bool jobs_running(const App* app) { return app && app->running_jobs; }

bool is_open_window(const App* app, const DocWindow* window) {
    if (!app || !window) return false;
    for (const DocWindow* open = app->windows; open; open = open->next) {
        if (open == window) return true;
    }
    return false;
}
