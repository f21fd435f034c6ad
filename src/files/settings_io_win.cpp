// The settings file operations on Windows. Paths arrive as UTF-8 and are
// converted to UTF-16 here, at the boundary.
#include <windows.h>

#include <cstring>

#include "base/memory.h"
#include "base/wide_text_win.h"
#include "core/document.h"
#include "files/settings_io.h"

namespace {

HANDLE handle_of(SettingsFileHandle file) { return reinterpret_cast<HANDLE>(file); }

SettingsFileHandle file_of(HANDLE handle) {
    return handle == INVALID_HANDLE_VALUE ? SETTINGS_NO_FILE : reinterpret_cast<SettingsFileHandle>(handle);
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

SettingsFileHandle open_file(const char* path, uint64_t* size) {
    wchar_t* wide = wide_path(path);
    if (!wide) return SETTINGS_NO_FILE;
    HANDLE handle = CreateFileW(wide, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    mem_free(wide);
    if (handle == INVALID_HANDLE_VALUE) return SETTINGS_NO_FILE;
    LARGE_INTEGER bytes;
    if (!GetFileSizeEx(handle, &bytes)) {
        CloseHandle(handle);
        return SETTINGS_NO_FILE;
    }
    *size = static_cast<uint64_t>(bytes.QuadPart);
    return file_of(handle);
}

bool read_all(SettingsFileHandle file, uint8_t* bytes, uint32_t length) {
    uint32_t done = 0;
    while (done < length) {
        DWORD got = 0;
        if (!ReadFile(handle_of(file), bytes + done, length - done, &got, nullptr) || got == 0) return false;
        done += got;
    }
    return true;
}

SettingsFileHandle create_file(const char* path) {
    wchar_t* wide = wide_path(path);
    if (!wide) return SETTINGS_NO_FILE;
    HANDLE handle = CreateFileW(wide, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    mem_free(wide);
    return file_of(handle);
}

bool write_all(SettingsFileHandle file, const uint8_t* bytes, uint32_t length) {
    DWORD written = 0;
    return WriteFile(handle_of(file), bytes, length, &written, nullptr) && written == length;
}

bool flush(SettingsFileHandle file) { return FlushFileBuffers(handle_of(file)) != 0; }

bool close_file(SettingsFileHandle file) { return CloseHandle(handle_of(file)) != 0; }

bool replace(const char* from, const char* to) {
    wchar_t* wide_from = wide_path(from);
    wchar_t* wide_to = wide_path(to);
    bool replaced = wide_from && wide_to &&
                    MoveFileExW(wide_from, wide_to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    mem_free(wide_from);
    mem_free(wide_to);
    return replaced;
}

const SettingsIo WIN32_IO = {absolute_path, open_file, read_all, create_file, write_all, flush, close_file, replace};

}  // namespace

const SettingsIo* platform_settings_io() { return &WIN32_IO; }
