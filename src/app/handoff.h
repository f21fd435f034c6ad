// The single-instance hand-off: a second start sends its files to the
// running instance as one block of data tagged with HANDOFF_MAGIC. The block
// holds each absolute path in UTF-16 LE followed by one NUL unit, one after
// the other, with no extra terminator; no files make an empty block.
#pragma once

#include <cstdint>

// "TRN1" read as a big-endian number.
constexpr uint32_t HANDOFF_MAGIC = 0x54524E31;

// The block for `count` UTF-8 paths: a new buffer (mem_free) and its size in
// bytes. False when a path is not well-formed UTF-8, holds a NUL, or the
// block would pass 4 GB, or memory runs out.
[[nodiscard]] bool build_handoff(const char* const* paths, uint32_t count, uint8_t** data, uint32_t* byte_count);

// The paths a received block names, as UTF-8.
struct HandoffPaths {
    char** paths;  // each zero-terminated, owned
    uint32_t count;
};

enum class HandoffStatus : uint8_t {
    Ok,
    Rejected,     // not a hand-off: the sender gets "not handled" and opens its files itself
    OutOfMemory,  // handled as if no files had come
};

// Reads a received block. Rejected for a wrong magic number, an odd byte
// count, missing data with a non-zero count, or a piece holding a lone
// surrogate. A last piece without its NUL is ignored, as are empty pieces.
// Never reads past byte_count bytes. Release the result with
// release_handoff_paths whatever the status.
[[nodiscard]] HandoffStatus parse_handoff(uint64_t magic, const void* data, uint64_t byte_count,
                                          HandoffPaths* result);
void release_handoff_paths(HandoffPaths* paths);
