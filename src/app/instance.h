// The single instance's portable half: the block a second start sends to the
// running instance, and what the running instance does with one.
#pragma once

#include <cstdint>

struct App;
struct FileIo;

// The reply to a hand-off: the receiver took care of it, or the sender must
// open its files itself.
constexpr uint32_t HANDOFF_HANDLED = 1;
constexpr uint32_t HANDOFF_REFUSED = 0;

// The hand-off block (handoff.h) for the files of a second start, each made
// absolute, or as given when that fails. False when the block cannot be made.
[[nodiscard]] bool build_handoff_for_files(const FileIo* io, const char* const* files, uint32_t count,
                                           uint8_t** data, uint32_t* byte_count);

// The running instance receives a block: opens each file it names; when none
// could be started (or none came), brings forward a start-page window with no
// open Job, or makes one. Refused when the block is not a hand-off or the
// program is already ending, whose windows would not stay to show the files.
uint32_t receive_handoff(App* app, uint64_t magic, const void* data, uint64_t byte_count);
