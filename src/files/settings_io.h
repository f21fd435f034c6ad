// The file operations behind the settings file, one implementation per
// platform (settings_io_posix.cpp, settings_io_win.cpp). A plain table of
// functions, so that tests can put a failing operation in place of a real one.
// Paths are UTF-8; the Windows implementation converts them at this boundary.
#pragma once

#include <cstdint>

// An open file; SETTINGS_NO_FILE when there is none.
using SettingsFileHandle = intptr_t;
constexpr SettingsFileHandle SETTINGS_NO_FILE = -1;

struct SettingsIo {
    // Writes the absolute form of path (snprintf contract) and returns its full
    // length, or 0 when it cannot be had.
    uint64_t (*absolute_path)(const char* path, char* buffer, uint64_t size);
    // Opens an existing file for reading, with read, write and delete shared,
    // and gives its size in bytes.
    SettingsFileHandle (*open_file)(const char* path, uint64_t* size);
    // True only when exactly `length` bytes were read.
    bool (*read_all)(SettingsFileHandle file, uint8_t* bytes, uint32_t length);
    // Creates or truncates a file for writing, shared with no one.
    SettingsFileHandle (*create_file)(const char* path);
    // True only when every byte was written.
    bool (*write_all)(SettingsFileHandle file, const uint8_t* bytes, uint32_t length);
    // Waits until what was written is on the disk.
    bool (*flush)(SettingsFileHandle file);
    bool (*close)(SettingsFileHandle file);
    // Moves `from` over `to`, replacing it, and waits until the move is on the disk.
    bool (*replace)(const char* from, const char* to);
};

const SettingsIo* platform_settings_io();
