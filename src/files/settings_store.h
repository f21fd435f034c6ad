// The settings file on disk: where it is, reading it at start and replacing
// it atomically on every save.
#pragma once

#include <cstdint>

#include "files/file_io.h"
#include "files/settings.h"

// The path holds at most 519 UTF-16 units (the program keeps it in 520 wide
// characters with the terminator); as UTF-8 that is at most three bytes each.
constexpr uint32_t SETTINGS_PATH_MAX_UNITS = 519;
constexpr uint32_t SETTINGS_PATH_SIZE = SETTINGS_PATH_MAX_UNITS * 3 + 1;
// Files of this size or more are not read.
constexpr uint32_t SETTINGS_FILE_LIMIT = 0x100000;

// UTF-8, fixed at start; empty means nothing is read or written.
struct SettingsPath {
    char text[SETTINGS_PATH_SIZE];
};

// Fixes the path: `given` made absolute (or as given when that fails). A path
// that does not fit, or is not well-formed UTF-8, leaves it empty: a shortened
// path would name another file, which saving would create or replace.
void set_settings_path(SettingsPath* path, const char* given, const FileIo* io);

// Sets the defaults, fixes the path, then reads and parses the file. A
// missing, empty, oversized or unreadable file leaves the defaults.
void load_settings(Settings* settings, SettingsPath* path, const char* given, const FileIo* io);

// Writes "<path>.tmp", checks that every byte was written, flushes it and moves
// it over the settings file. True when the file was replaced. On any failure
// the settings file is left as it was (a written temporary file stays behind);
// the program does not report failures, tests do check them.
bool save_settings(const Settings* settings, const SettingsPath* path, const FileIo* io);
