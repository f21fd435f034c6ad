// Byte vectors of the width the including file is compiled for: 16 bytes
// (SSE2, every x86-64 CPU) by default, 32 bytes (AVX2) between the includes
// of base/avx2_begin.h and base/avx2_end.h. Code written once over these
// operations is built at both widths; each width's copy lives in its own
// namespace, VECTOR_NS, so that both sit in one program and the CPU's
// features choose between them at run time (base/cpu_variant.h).
#pragma once

#include <immintrin.h>

#include <cstdint>

#if defined(VECTOR_VARIANT_AVX2)
#define VECTOR_NS vector_avx2
#else
#define VECTOR_NS vector_sse2
#endif

namespace VECTOR_NS {

#if defined(VECTOR_VARIANT_AVX2)
constexpr uint32_t VECTOR_BYTES = 32;
using ByteVector = __m256i;
inline ByteVector load_bytes(const uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
inline ByteVector splat(uint8_t byte) { return _mm256_set1_epi8(static_cast<char>(byte)); }
inline ByteVector equal(ByteVector a, ByteVector b) { return _mm256_cmpeq_epi8(a, b); }
inline ByteVector smaller(ByteVector a, ByteVector b) { return _mm256_min_epu8(a, b); }
inline ByteVector larger(ByteVector a, ByteVector b) { return _mm256_max_epu8(a, b); }
inline ByteVector either(ByteVector a, ByteVector b) { return _mm256_or_si256(a, b); }
inline ByteVector both(ByteVector a, ByteVector b) { return _mm256_and_si256(a, b); }
inline uint64_t lane_bits(ByteVector v) { return static_cast<uint32_t>(_mm256_movemask_epi8(v)); }
#else
constexpr uint32_t VECTOR_BYTES = 16;
using ByteVector = __m128i;
inline ByteVector load_bytes(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline ByteVector splat(uint8_t byte) { return _mm_set1_epi8(static_cast<char>(byte)); }
inline ByteVector equal(ByteVector a, ByteVector b) { return _mm_cmpeq_epi8(a, b); }
inline ByteVector smaller(ByteVector a, ByteVector b) { return _mm_min_epu8(a, b); }
inline ByteVector larger(ByteVector a, ByteVector b) { return _mm_max_epu8(a, b); }
inline ByteVector either(ByteVector a, ByteVector b) { return _mm_or_si128(a, b); }
inline ByteVector both(ByteVector a, ByteVector b) { return _mm_and_si128(a, b); }
inline uint64_t lane_bits(ByteVector v) { return static_cast<uint32_t>(_mm_movemask_epi8(v)); }
#endif

// Lane masks hold one bit per byte, lane 0 lowest; the bit above the last
// lane is always clear, so counting trailing ones of a full mask gives
// VECTOR_BYTES.
inline ByteVector equal_to(ByteVector v, uint8_t byte) { return equal(v, splat(byte)); }
inline ByteVector at_most(ByteVector v, uint8_t byte) { return equal(smaller(v, splat(byte)), v); }
inline ByteVector at_least(ByteVector v, uint8_t byte) { return equal(larger(v, splat(byte)), v); }
inline uint64_t byte_lanes(const uint8_t* p, uint8_t byte) { return lane_bits(equal_to(load_bytes(p), byte)); }

}  // namespace VECTOR_NS
