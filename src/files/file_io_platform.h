// The operations each platform file (file_io_posix.cpp, file_io_win.cpp)
// defines, and the one table made of them, which file_io() hands out. Only
// those two files include this.
#pragma once

#include "files/file_io.h"

namespace platform_file {

uint64_t absolute_path(const char* path, char* buffer, uint64_t size);
bool attribute_size(const char* path, uint64_t* size);
FileHandle open_for_reading(const char* path, uint32_t* os_error);
bool identity(FileHandle file, FileIdentity* identity);
FileIdentity file_identity_of_path(const char* path);
bool size(FileHandle file, uint64_t* size, uint32_t* os_error);
bool read_chunk(FileHandle file, uint8_t* bytes, uint32_t capacity, uint32_t* read, uint32_t* os_error);
bool same_path(const char* a, const char* b);
uint64_t total_memory();
uint64_t error_text(uint32_t os_error, char* buffer, uint64_t size);
FileHandle open_file(const char* path, uint64_t* size);
bool read_all(FileHandle file, uint8_t* bytes, uint32_t length);
FileHandle create_file(const char* path);
bool write_all(FileHandle file, const uint8_t* bytes, uint32_t length);
bool flush(FileHandle file);
bool close_file(FileHandle file);
bool replace(const char* from, const char* to);
bool remove_file(const char* path);

}  // namespace platform_file

inline const FileIo* file_io_table() {
    using namespace platform_file;
    static const FileIo io = {
        .absolute_path = absolute_path,
        .attribute_size = attribute_size,
        .open_for_reading = open_for_reading,
        .identity = identity,
        .file_identity_of_path = file_identity_of_path,
        .size = size,
        .read = read_chunk,
        .same_path = same_path,
        .total_memory = total_memory,
        .error_text = error_text,
        .open_file = open_file,
        .read_all = read_all,
        .create_file = create_file,
        .write_all = write_all,
        .flush = flush,
        .close = close_file,
        .replace = replace,
        .remove = remove_file,
    };
    return &io;
}
