// The process-wide state of the program, owned by the user-interface thread:
// the host, the settings, the document windows and the running Jobs.
#pragma once

#include <cstdint>

#include "app/app_host.h"
#include "files/settings.h"

struct App {
    AppHost host;
    Settings settings;
    uint8_t script_mode;      // "--test-script" was given; set only by set_script_mode
    uint32_t read_delay_ms;   // slept after each read chunk ("--test-slow-read"); 0 outside script mode
    uint64_t test_ram;        // "--test-ram": the memory the memory check assumes; 0 none
    DocWindow* windows;       // newest first
    Job* running_jobs;        // started and not yet handled, newest first
    uint32_t clipboard_count;  // clipboard documents shown so far, for "Clipboard %d"
    uint8_t quitting;          // the last window has closed: the program is ending
};

// Zeroes the App, takes the host and sets the default settings.
void init_app(App* app, const AppHost* host);

// Script mode, and everything it changes, decided here and nowhere else:
// "--test-slow-read" and "--test-ram" count only in script mode, messages that
// a window shows in a bar are also written to the script's output, windows are
// not brought forward, and load errors leave out the system's wording (which
// differs between systems and languages).
void set_script_mode(App* app, uint32_t read_delay_ms, uint64_t test_ram);
// In script mode, the line "key=text" in the script's output; else nothing.
void report_to_script(App* app, const char* key, const char* text);
// The memory the open-time check compares a file with: "--test-ram" in script
// mode when given, else what the system has.
uint64_t memory_for_check(const App* app);
bool brings_windows_forward(const App* app);
bool shows_system_error_text(const App* app);

// The settings changed: the host saves them a little later.
void save_settings_later(App* app);

// Whether a Job is running: script mode waits until none is.
bool jobs_running(const App* app);
// Whether `window` is still one of the App's windows.
bool is_open_window(const App* app, const DocWindow* window);
