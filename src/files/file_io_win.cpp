// The file and system services on Windows. Paths arrive as UTF-8 and are
// converted to UTF-16 here, at the boundary.
#include <windows.h>

#include <cstring>

#include "base/bounded_writer.h"
#include "base/case_fold.h"
#include "base/memory.h"
#include "base/text_builder.h"
#include "base/wide_text_win.h"
#include "files/file_io.h"
#include "files/file_io_platform.h"

namespace platform_file {

constexpr DWORD SHARE_ALL = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD SYSTEM_TEXT_UNITS = 512;

HANDLE handle_of(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

uint64_t joined(DWORD high, DWORD low) { return (static_cast<uint64_t>(high) << 32) | low; }

bool attribute_size(const char* path, uint64_t* size) {
    wchar_t* wide = utf8_to_utf16(path, std::strlen(path));
    WIN32_FILE_ATTRIBUTE_DATA data;
    bool known = wide && GetFileAttributesExW(wide, GetFileExInfoStandard, &data) &&
                 !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    mem_free(wide);
    if (known) *size = joined(data.nFileSizeHigh, data.nFileSizeLow);
    return known;
}

FileHandle open_for_reading(const char* path, uint32_t* os_error) {
    wchar_t* wide = utf8_to_utf16(path, std::strlen(path));
    if (!wide) {
        *os_error = ERROR_NOT_ENOUGH_MEMORY;
        return NO_FILE;
    }
    HANDLE handle = CreateFileW(wide, GENERIC_READ, SHARE_ALL, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN,
                                nullptr);
    *os_error = handle == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    mem_free(wide);
    return handle == INVALID_HANDLE_VALUE ? NO_FILE : reinterpret_cast<FileHandle>(handle);
}

bool identity(FileHandle file, FileIdentity* identity) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle_of(file), &info)) return false;
    *identity = FileIdentity{};
    identity->valid = 1;
    identity->volume_serial = info.dwVolumeSerialNumber;
    identity->index_high = info.nFileIndexHigh;
    identity->index_low = info.nFileIndexLow;
    identity->size_high = info.nFileSizeHigh;
    identity->size_low = info.nFileSizeLow;
    identity->last_write_time = joined(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime);
    return true;
}

// Read-attributes access needs no right to read the file's contents, so a
// file that became unreadable still shows a changed identity.
FileIdentity file_identity_of_path(const char* path) {
    FileIdentity result{};
    wchar_t* wide = utf8_to_utf16(path, std::strlen(path));
    HANDLE handle = wide ? CreateFileW(wide, FILE_READ_ATTRIBUTES, SHARE_ALL, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_BACKUP_SEMANTICS, nullptr)
                         : INVALID_HANDLE_VALUE;
    mem_free(wide);
    if (handle == INVALID_HANDLE_VALUE) return result;
    if (!identity(reinterpret_cast<FileHandle>(handle), &result)) result = FileIdentity{};
    CloseHandle(handle);
    return result;
}

bool size(FileHandle file, uint64_t* size, uint32_t* os_error) {
    LARGE_INTEGER bytes;
    if (!GetFileSizeEx(handle_of(file), &bytes)) {
        *os_error = GetLastError();
        return false;
    }
    *size = static_cast<uint64_t>(bytes.QuadPart);
    return true;
}

bool read_chunk(FileHandle file, uint8_t* bytes, uint32_t capacity, uint32_t* read, uint32_t* os_error) {
    DWORD got = 0;
    if (!ReadFile(handle_of(file), bytes, capacity, &got, nullptr)) {
        *os_error = GetLastError();
        return false;
    }
    *read = got;
    return true;
}


// The file system's own comparison; the portable folding stands in only when
// a path cannot be converted.
bool same_path(const char* a, const char* b) {
    uint32_t a_length = 0, b_length = 0;
    wchar_t* wide_a = utf8_to_utf16(a, std::strlen(a), &a_length);
    wchar_t* wide_b = wide_a ? utf8_to_utf16(b, std::strlen(b), &b_length) : nullptr;
    bool same = wide_b ? CompareStringOrdinal(wide_a, static_cast<int>(a_length), wide_b,
                                              static_cast<int>(b_length), TRUE) == CSTR_EQUAL
                       : equal_without_case(a, b);
    mem_free(wide_a);
    mem_free(wide_b);
    return same;
}

uint64_t total_memory() {
    MEMORYSTATUSEX status;
    status.dwLength = sizeof status;
    return GlobalMemoryStatusEx(&status) ? status.ullTotalPhys : 0;
}

uint64_t error_text(uint32_t os_error, char* buffer, uint64_t size) {
    wchar_t wide[SYSTEM_TEXT_UNITS];
    DWORD units = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, os_error, 0,
                                 wide, SYSTEM_TEXT_UNITS, nullptr);
    uint32_t length = 0;
    char* text = units ? utf16_to_utf8(wide, units, &length) : nullptr;
    uint64_t full = text ? copy_out(text, length, buffer, size) : copy_out("", 0, buffer, size);
    mem_free(text);
    return full;
}



FileHandle file_of(HANDLE handle) {
    return handle == INVALID_HANDLE_VALUE ? NO_FILE : reinterpret_cast<FileHandle>(handle);
}

[[nodiscard]] wchar_t* wide_path(const char* path) { return utf8_to_utf16(path, std::strlen(path)); }

uint64_t absolute_path(const char* path, char* buffer, uint64_t size) {
    wchar_t* wide = wide_path(path);
    if (!wide) return 0;
    uint64_t length = 0;
    DWORD needed = GetFullPathNameW(wide, 0, nullptr, nullptr);
    wchar_t* full = needed > 0 ? mem_alloc_array<wchar_t>(needed) : nullptr;
    DWORD got = full ? GetFullPathNameW(wide, needed, full, nullptr) : 0;
    char* narrow = got > 0 && got < needed ? utf16_to_utf8(full, got) : nullptr;
    if (narrow) {
        BoundedWriter writer = bounded_writer(buffer, size);
        bw_append(&writer, reinterpret_cast<const uint8_t*>(narrow), std::strlen(narrow));
        length = writer.total;
    }
    mem_free(narrow);
    mem_free(full);
    mem_free(wide);
    return length;
}

FileHandle open_file(const char* path, uint64_t* size) {
    wchar_t* wide = wide_path(path);
    if (!wide) return NO_FILE;
    HANDLE handle = CreateFileW(wide, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    mem_free(wide);
    if (handle == INVALID_HANDLE_VALUE) return NO_FILE;
    LARGE_INTEGER bytes;
    if (!GetFileSizeEx(handle, &bytes)) {
        CloseHandle(handle);
        return NO_FILE;
    }
    *size = static_cast<uint64_t>(bytes.QuadPart);
    return file_of(handle);
}

bool read_all(FileHandle file, uint8_t* bytes, uint32_t length) {
    uint32_t done = 0;
    while (done < length) {
        DWORD got = 0;
        if (!ReadFile(handle_of(file), bytes + done, length - done, &got, nullptr) || got == 0) return false;
        done += got;
    }
    return true;
}

FileHandle create_file(const char* path) {
    wchar_t* wide = wide_path(path);
    if (!wide) return NO_FILE;
    HANDLE handle = CreateFileW(wide, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    mem_free(wide);
    return file_of(handle);
}

bool write_all(FileHandle file, const uint8_t* bytes, uint32_t length) {
    DWORD written = 0;
    return WriteFile(handle_of(file), bytes, length, &written, nullptr) && written == length;
}

bool flush(FileHandle file) { return FlushFileBuffers(handle_of(file)) != 0; }

bool close_file(FileHandle file) { return CloseHandle(handle_of(file)) != 0; }

bool replace(const char* from, const char* to) {
    wchar_t* wide_from = wide_path(from);
    wchar_t* wide_to = wide_path(to);
    bool replaced = wide_from && wide_to &&
                    MoveFileExW(wide_from, wide_to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    mem_free(wide_from);
    mem_free(wide_to);
    return replaced;
}

bool remove_file(const char* path) {
    wchar_t* wide = wide_path(path);
    bool removed = wide && DeleteFileW(wide) != 0;
    mem_free(wide);
    return removed;
}

}  // namespace platform_file

const FileIo* file_io() { return file_io_table(); }
