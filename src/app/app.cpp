#include "app/app.h"

#include <cstring>

#include "app/doc_window.h"

void init_app(App* app, const AppHost* host) {
    std::memset(static_cast<void*>(app), 0, sizeof *app);
    app->host = *host;
    set_default_settings(&app->settings);
}

void save_settings_later(App* app) { app->host.schedule_settings_save(app->host.context); }

bool jobs_running(const App* app) { return app && app->running_jobs; }

bool is_open_window(const App* app, const DocWindow* window) {
    if (!app || !window) return false;
    for (const DocWindow* open = app->windows; open; open = open->next) {
        if (open == window) return true;
    }
    return false;
}
