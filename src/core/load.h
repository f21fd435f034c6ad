// Loading a text buffer into a Document.
#pragma once

#include <atomic>
#include <cstdint>

#include "base/progress.h"
#include "core/document.h"

struct LoadOptions {
    uint8_t strict;      // comments, trailing commas, JSON5 forms and raw control characters are errors
    uint8_t json_lines;  // read the text as JSON Lines from the start
};

// Progress is reported as (bytes read, text length).
using LoadProgress = ProgressContext;

enum LoadOutcome : uint32_t {
    LOAD_SUCCESS = 0,
    LOAD_CANCELLED = 1,
    LOAD_OUT_OF_MEMORY = 2,
    LOAD_TOO_LARGE = 3,
};

// Takes ownership of `buffer`, which holds `length` bytes of text followed by
// at least 64 zero bytes in one mem_alloc allocation. Returns the Document
// (reference count 1) or nullptr with the reason in *outcome. When that is
// LOAD_TOO_LARGE, *too_large_length (if given) is the length over the limit:
// for UTF-16 the converted one, which is what the limit applies to.
[[nodiscard]] Document* load_document(uint8_t* buffer, uint64_t length, const LoadOptions* options,
                                      const LoadProgress* progress, uint32_t* outcome,
                                      uint64_t* too_large_length = nullptr);

// Test hook: texts longer than `limit` are too large (0 restores
// MAX_TEXT_LENGTH), so that path can be reached without gigabytes of text.
void load_test_set_length_limit(uint64_t limit);

// Test hook: JSON Lines is read on up to `threads` threads, each given at
// least `bytes_per_thread` bytes of text, so that small texts are cut in
// many places; (0, 0) restores the processors' count and the usual size.
void load_test_set_threads(uint32_t threads, uint32_t bytes_per_thread);

// A buffer of length + 64 bytes whose padding is zeroed, for load_document.
[[nodiscard]] uint8_t* alloc_text_buffer(uint64_t length);
