#include "app/file_watch.h"

#include <cstring>

namespace {

uint32_t u32_at(const uint8_t* bytes) {
    uint32_t value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

constexpr uint32_t RECORD_HEAD = 12;  // next offset, action, name length
// File names hold at most 255 units; a longer name in a record cannot be ours.
constexpr uint32_t NAME_UNITS_MAX = 256;

}  // namespace

WatchStep watch_step(bool ok, uint32_t bytes, uint32_t error) {
    if (ok) return bytes == 0 ? WatchStep::Overflow : WatchStep::Records;
    return error == WATCH_ERROR_OVERFLOW ? WatchStep::Overflow : WatchStep::Failed;
}

bool records_name_file(const uint8_t* records, uint32_t bytes, const uint16_t* name, uint32_t name_units,
                       SameName same_name) {
    uint64_t at = 0;
    uint16_t record_name[NAME_UNITS_MAX];
    while (at + RECORD_HEAD <= bytes) {
        const uint8_t* record = records + at;
        uint32_t next = u32_at(record);
        uint32_t name_bytes = u32_at(record + 8);
        if (name_bytes % 2 != 0 || at + RECORD_HEAD + name_bytes > bytes) return false;
        uint32_t units = name_bytes / 2;
        if (units <= NAME_UNITS_MAX) {
            // Copied: nothing promises the bytes are aligned for 16-bit reads.
            std::memcpy(record_name, record + RECORD_HEAD, name_bytes);
            if (same_name(record_name, units, name, name_units)) return true;
        }
        if (next == 0) return false;
        at += next;
    }
    return false;
}

bool split_watch_path(const char* path, uint64_t length, WatchPath* split) {
    uint64_t slash = length;
    for (uint64_t i = 0; i < length; i++) {
        if (path[i] == '\\') slash = i;
    }
    if (slash == length || slash + 1 == length) return false;
    bool drive_root = slash == 2 && path[1] == ':';
    split->folder_length = drive_root ? slash + 1 : slash;
    split->name_start = slash + 1;
    return true;
}

bool change_notice(ChangeBurst* burst, uint64_t now_ms) {
    if (!burst->pending) {
        burst->pending = 1;
        burst->first_ms = now_ms;
        return true;
    }
    return now_ms - burst->first_ms < CHANGE_BURST_MAX_MS;
}

bool let_go_of_watcher(std::atomic<uint32_t>* state, uint32_t side) {
    return state->exchange(side) != WatcherState::Running;
}
