// The program's start and end, the same for every host. A host calls, in
// order:
//
//   begin_program         the command line and script mode's "--settings" rule
//   (host: single instance, COM, drawing layer, window classes ...)
//   load_program_settings the App with the host's table, script mode, settings
//   (host: theme, message window, accelerators ...)
//   open_program_files    the files given (or a start page), then the script
//   (host: the message loop, until the last window has closed)
//   end_program           the settings saved, the script's state freed
//
// Between open_program_files and end_program the host runs the script's steps
// while `script.finished` is not set (script mode only).
#pragma once

#include <cstdint>

#include "app/app.h"
#include "files/settings_store.h"
#include "script/command_line.h"
#include "script/script.h"

struct Program {
    App app;
    Script script;
    CommandLine line;
    SettingsPath settings_path;
    const char** files;     // room for the command line's files, owned
    uint8_t script_started;  // the script's output is open and its text read
    int32_t exit_code;
};

// Zeroes the Program and reads the command line (arguments[0] is the program's
// own name). False when the program must end at once with `exit_code` (the
// Program then holds nothing to free): in
// script mode without "--settings" (the line SCRIPT_NEEDS_SETTINGS is then in
// the "--test-out" file when one was given; `needs_settings` tells the host),
// or out of memory.
[[nodiscard]] bool begin_program(Program* program, int argument_count, const char* const* arguments,
                                 bool* needs_settings);
// Makes the App with the host's table, applies script mode and loads the
// settings from the "--settings" file or `default_settings_path` (which may
// be absent: then nothing is read or saved).
void load_program_settings(Program* program, const AppHost* host, const char* default_settings_path);
// In script mode, makes the script's state first, so that a question or a
// message of an open finds it; opens each file with open_path, or a window on
// the start page when none could be started; then starts the script (the
// "--test-out" file or DEFAULT_SCRIPT_OUTPUT). False when not even the start
// page's window could be made (`exit_code` says how to end).
[[nodiscard]] bool open_program_files(Program* program);
// Saves the settings (a failure is not reported, as nowhere in the program),
// frees what the Program holds and returns the exit code: the script's in
// script mode, else 0.
int32_t end_program(Program* program);
