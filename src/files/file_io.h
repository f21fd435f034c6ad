// The file and system services of the whole program, one implementation per
// platform (file_io_posix.cpp, file_io_win.cpp): opening and reading files to
// load them, their size and identity, writing and replacing the settings file
// and the script's output, absolute paths, the computer's memory and the text
// of a system error. A plain table of functions, so that tests can put a
// failing or counting operation in place of a real one. Paths are UTF-8; the
// Windows implementation converts them at this boundary. Every operation may
// be called from any thread.
#pragma once

#include <cstdint>

// An open file; NO_FILE when there is none.
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

struct FileIo {
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
    // Whether two absolute paths name the same file as far as their text
    // tells: compared ordinally, without case.
    bool (*same_path)(const char* a, const char* b);
    // Bytes of physical memory, or 0 when unknown.
    uint64_t (*total_memory)();
    // The system's message for an error code (snprintf contract), as the
    // system words it; 0 when it has none.
    uint64_t (*error_text)(uint32_t os_error, char* buffer, uint64_t size);

    // Whole files: the settings file, the script and its output.
    // Opens an existing file for reading, with read, write and delete shared,
    // and gives its size in bytes.
    FileHandle (*open_file)(const char* path, uint64_t* size);
    // True only when exactly `length` bytes were read.
    bool (*read_all)(FileHandle file, uint8_t* bytes, uint32_t length);
    // Creates or truncates a file for writing, shared with no one.
    FileHandle (*create_file)(const char* path);
    // True only when every byte was written.
    bool (*write_all)(FileHandle file, const uint8_t* bytes, uint32_t length);
    // Waits until what was written is on the disk.
    bool (*flush)(FileHandle file);
    // False when the system reports a failure, which for a written file can
    // be the first report of a failed write.
    bool (*close)(FileHandle file);
    // Moves `from` over `to`, replacing it, and waits until the move is on the disk.
    bool (*replace)(const char* from, const char* to);
    // Deletes a file (script mode's "remove"); false when it could not.
    bool (*remove)(const char* path);
};

const FileIo* file_io();
