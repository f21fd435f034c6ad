// The operating-system services behind opening a file: reading it on a Job's
// worker thread, its size and identity, the computer's memory and the text of
// a system error. One implementation per platform (platform_io_posix.cpp,
// platform_io_win.cpp), a plain table so that tests can put failing or
// counting operations in place of the real ones. Paths are UTF-8; the Windows
// implementation converts them at this boundary. Every operation may be called
// from any thread.
#pragma once

#include <cstdint>

using FileHandle = intptr_t;
constexpr FileHandle NO_FILE = -1;

// Which file was read, to tell later whether it changed. All zero (valid 0)
// for a file that could not be opened. On POSIX the volume is the device, the
// index the inode, and the last-write time is in 100 ns units since 1601.
struct FileIdentity {
    uint8_t valid;
    uint32_t volume_serial;
    uint32_t index_high;
    uint32_t index_low;
    uint32_t size_high;
    uint32_t size_low;
    uint64_t last_write_time;
};

struct PlatformIo {
    // The absolute form of path (snprintf contract), or 0 when it cannot be had.
    uint64_t (*absolute_path)(const char* path, char* buffer, uint64_t size);
    // The size from the file's attributes, without opening it; false when unknown.
    bool (*attribute_size)(const char* path, uint64_t* size);
    // Opens an existing file for reading, sharing read, write and delete, with
    // the sequential-scan hint. NO_FILE with the system's error code on failure.
    FileHandle (*open_for_reading)(const char* path, uint32_t* os_error);
    bool (*identity)(FileHandle file, FileIdentity* identity);
    // The identity of the file at `path` without reading it (all zero when it
    // cannot be opened), to tell whether it changed since it was read.
    FileIdentity (*file_identity_of_path)(const char* path);
    bool (*size)(FileHandle file, uint64_t* size, uint32_t* os_error);
    // Reads at most `capacity` bytes into `bytes`; *read is 0 at the end of the
    // file. False with the system's error code when the read fails.
    bool (*read)(FileHandle file, uint8_t* bytes, uint32_t capacity, uint32_t* read, uint32_t* os_error);
    void (*close)(FileHandle file);
    // Bytes of physical memory, or 0 when unknown.
    uint64_t (*total_memory)();
    // The system's message for an error code (snprintf contract), as the
    // system words it; 0 when it has none.
    uint64_t (*error_text)(uint32_t os_error, char* buffer, uint64_t size);
};

const PlatformIo* platform_io();
