// UTF-16 (after its byte-order mark) to UTF-8, for the loader.
#pragma once

#include <cstdint>

#include "core/load.h"

enum class Utf16Status { Done, Cancelled };

// One conversion pass. Without `out` it only measures; with it, it writes at
// most `capacity` bytes. *produced receives the full UTF-8 length (64-bit: a
// 3 GB text of CJK characters becomes about 4.5 GB). Unpaired surrogates and
// an odd last byte become U+FFFD. The cancel flag is consulted every 16 MiB.
Utf16Status convert_utf16(const uint8_t* in, uint64_t length, bool big_endian, uint8_t* out, uint64_t capacity,
                          const LoadProgress* progress, uint64_t* produced);
