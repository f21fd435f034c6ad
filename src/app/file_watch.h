// What a window that follows its file decides, apart from the thread and the
// system calls that carry it out: what a finished folder request means,
// whether its records name the file, which folder and name a path is watched
// by, when a burst of change notices has waited long enough, and which side
// of a watcher frees it.
#pragma once

#include <atomic>
#include <cstdint>

// What the watcher thread does after its request on the folder has finished.
enum class WatchStep : uint8_t {
    Records,   // look through the records, then ask again
    Overflow,  // more changes than the buffer holds: post a notice, ask again
    Failed,    // post one notice and end: asking again would only fail again, at once
};

// The system's "too many changes to list" error, which some systems report
// instead of a request that succeeds with no records.
constexpr uint32_t WATCH_ERROR_OVERFLOW = 1022;

// `ok` and `bytes` as the finished request reports them, `error` the system's
// error code when it failed.
WatchStep watch_step(bool ok, uint32_t bytes, uint32_t error);

// Compares two UTF-16 names the way the system compares file names
// (ordinally, without case).
using SameName = bool (*)(const uint16_t* a, uint32_t a_units, const uint16_t* b, uint32_t b_units);

// Whether a record of a finished request names the watched file. `records`
// holds `bytes` bytes of the system's list: per record the offset of the next
// one (0 for the last), the action, the name's length in bytes and the name
// in UTF-16, each number 32 bits. A record that would reach past the end
// stops the walk.
bool records_name_file(const uint8_t* records, uint32_t bytes, const uint16_t* name, uint32_t name_units,
                       SameName same_name);

// A path split at its last backslash: the folder to watch is
// path[0, folder_length) and the file's name starts at name_start. A drive
// root ("C:\") keeps its backslash.
struct WatchPath {
    uint64_t folder_length;
    uint64_t name_start;
};
// False when the path has no backslash or nothing after the last one.
[[nodiscard]] bool split_watch_path(const char* path, uint64_t length, WatchPath* split);

// A burst of change notices. Each notice restarts the window's short timer,
// so that a burst of writes is checked once, but only while the burst's
// first notice is less than this old: a file written more often than the
// timer's delay is still checked.
constexpr uint64_t CHANGE_BURST_MAX_MS = 1000;
struct ChangeBurst {
    uint64_t first_ms;  // when the burst's first notice came
    uint8_t pending;    // the timer runs
};
// A notice at `now_ms`: true when the timer is to be (re)started.
bool change_notice(ChangeBurst* burst, uint64_t now_ms);

// A watcher is owned by its window and its thread at once; whichever lets go
// second frees it.
namespace WatcherState {
constexpr uint32_t Running = 0;
constexpr uint32_t ThreadEnded = 1;
constexpr uint32_t WindowLetGo = 2;
}  // namespace WatcherState
// One side lets go (ThreadEnded or WindowLetGo): true when the other side
// already has, and the caller must free the watcher.
bool let_go_of_watcher(std::atomic<uint32_t>* state, uint32_t side);
