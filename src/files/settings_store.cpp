#include "files/settings_store.h"

#include <cstring>

#include "base/memory.h"
#include "base/utf8.h"

namespace {

constexpr char TEMPORARY_SUFFIX[] = ".tmp";

// UTF-16 units of a UTF-8 text; false when it is not well-formed.
bool utf16_units(const char* text, uint64_t length, uint64_t* units) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(text);
    const uint8_t* end = p + length;
    *units = 0;
    while (p < end) {
        uint32_t sequence = utf8_sequence_length(p, end);
        if (sequence == 0) return false;
        *units += sequence == 4 ? 2 : 1;
        p += sequence;
    }
    return true;
}

bool write_and_replace(const char* bytes, uint32_t length, const char* temporary, const char* target,
                       const FileIo* io) {
    FileHandle file = io->create_file(temporary);
    if (file == NO_FILE) return false;
    bool written = io->write_all(file, reinterpret_cast<const uint8_t*>(bytes), length) && io->flush(file);
    bool closed = io->close(file);
    return written && closed && io->replace(temporary, target);
}

}  // namespace

void set_settings_path(SettingsPath* path, const char* given, const FileIo* io) {
    path->text[0] = 0;
    if (!given || given[0] == 0) return;
    uint64_t length = io->absolute_path(given, path->text, SETTINGS_PATH_SIZE);
    if (length == 0) {
        length = std::strlen(given);
        if (length < SETTINGS_PATH_SIZE) std::memcpy(path->text, given, length + 1);
    }
    uint64_t units = 0;
    if (length >= SETTINGS_PATH_SIZE || !utf16_units(path->text, length, &units) || units > SETTINGS_PATH_MAX_UNITS) {
        path->text[0] = 0;
    }
}

void load_settings(Settings* settings, SettingsPath* path, const char* given, const FileIo* io) {
    set_default_settings(settings);
    set_settings_path(path, given, io);
    if (path->text[0] == 0) return;
    uint64_t size = 0;
    FileHandle file = io->open_file(path->text, &size);
    if (file == NO_FILE) return;
    uint8_t* bytes = size > 0 && size < SETTINGS_FILE_LIMIT ? mem_alloc_array<uint8_t>(size) : nullptr;
    if (bytes && io->read_all(file, bytes, static_cast<uint32_t>(size))) parse_settings(settings, bytes, size);
    mem_free(bytes);
    io->close(file);
}

bool save_settings(const Settings* settings, const SettingsPath* path, const FileIo* io) {
    if (path->text[0] == 0) return false;
    uint64_t length = format_settings(settings, nullptr, 0);
    uint64_t path_length = std::strlen(path->text);
    char* text = mem_alloc_array<char>(length + 1);
    char* temporary = mem_alloc_array<char>(path_length + sizeof TEMPORARY_SUFFIX);
    bool saved = false;
    if (text && temporary) {
        format_settings(settings, text, length + 1);
        std::memcpy(temporary, path->text, path_length);
        std::memcpy(temporary + path_length, TEMPORARY_SUFFIX, sizeof TEMPORARY_SUFFIX);
        saved = write_and_replace(text, static_cast<uint32_t>(length), temporary, path->text, io);
    }
    mem_free(text);
    mem_free(temporary);
    return saved;
}
