// The candidate scan built with 32-byte vectors for CPUs with AVX2
// (find_candidate chooses). Its includes come first, so that only its own
// code is built for AVX2.
#include <immintrin.h>

#include <bit>
#include <cstdint>
#include <cstring>

#include "search/matcher_internal.h"

#include "base/avx2_begin.h"
#include "search/candidate_scan.cpp"
#include "base/avx2_end.h"
