// The process-wide state of the program, owned by the user-interface thread:
// the host, the settings, the document windows and the running Jobs.
#pragma once

#include <cstdint>

#include "app/app_host.h"
#include "files/settings.h"

struct App {
    AppHost host;
    Settings settings;
    uint8_t script_mode;      // "--test-script" was given
    uint32_t read_delay_ms;   // slept after each read chunk ("--test-slow-read"); script mode only
    uint64_t test_ram;        // "--test-ram": the memory the memory check assumes; script mode only, 0 none
    DocWindow* windows;       // newest first
    Job* running_jobs;        // started and not yet handled, newest first
    uint32_t clipboard_count;  // clipboard documents shown so far, for "Clipboard %d"
};

// Zeroes the App, takes the host and sets the default settings.
void init_app(App* app, const AppHost* host);

// The settings changed: the host saves them a little later.
void save_settings_later(App* app);

// Whether a Job is running: script mode waits until none is.
bool jobs_running(const App* app);
// Whether `window` is still one of the App's windows.
bool is_open_window(const App* app, const DocWindow* window);
