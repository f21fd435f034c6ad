// The scanners and parsers once more, built with 32-byte vectors for CPUs
// with AVX2 (loader_scanners chooses). Everything they include comes first,
// so that only their own code is built for AVX2.
#include <immintrin.h>

#include <cstdint>
#include <cstring>

#include "base/hex.h"
#include "base/memory.h"
#include "core/parse_context.h"

#include "base/avx2_begin.h"
#include "core/scan.cpp"
#include "core/parser.cpp"
#include "core/records.cpp"
#include "base/avx2_end.h"
