// Byte vectors of the width the including file is compiled for: 16 bytes
// (SSE2, every x86-64 CPU) by default, 32 bytes (AVX2) between the includes
// of base/avx2_begin.h and base/avx2_end.h. Code written once over these
// operations is built at both widths; each width's copy lives in its own
// namespace, VECTOR_NS, so that both sit in one program and the CPU's
// features choose between them at run time (base/cpu_variant.h).
#pragma once

#include <immintrin.h>

#include <cstdint>
#include <cstring>

#if defined(VECTOR_VARIANT_AVX2)
#define VECTOR_NS vector_avx2
#else
#define VECTOR_NS vector_sse2
#endif

// Row b holds the byte b 32 times. Vectors of one repeated byte are read
// from here, so that a compare with a constant takes it from memory in the
// compare itself: the compiler would otherwise build each in registers, three
// instructions at every use. Being defined elsewhere (byte_vector.cpp) keeps
// it from seeing the values and doing that anyway.
struct SplatRows {
    alignas(32) uint8_t rows[256][32];
};
extern const SplatRows SPLAT_ROWS;

namespace VECTOR_NS {

#if defined(VECTOR_VARIANT_AVX2)
constexpr uint32_t VECTOR_BYTES = 32;
#else
constexpr uint32_t VECTOR_BYTES = 16;
#endif

// The compiler's vector extension: its operators give the instructions of
// the width in force, so only the lane mask needs an intrinsic per width.
typedef uint8_t ByteVector __attribute__((vector_size(VECTOR_BYTES)));

inline ByteVector load_bytes(const uint8_t* p) {
    ByteVector bytes;
    std::memcpy(&bytes, p, sizeof bytes);
    return bytes;
}
inline ByteVector splat(uint8_t byte) { return load_bytes(SPLAT_ROWS.rows[byte]); }
inline ByteVector equal(ByteVector a, ByteVector b) { return (ByteVector)(a == b); }
inline ByteVector either(ByteVector a, ByteVector b) { return a | b; }
inline ByteVector both(ByteVector a, ByteVector b) { return a & b; }
inline uint64_t lane_bits(ByteVector v) {
#if defined(VECTOR_VARIANT_AVX2)
    return static_cast<uint32_t>(_mm256_movemask_epi8((__m256i)v));
#else
    return static_cast<uint32_t>(_mm_movemask_epi8((__m128i)v));
#endif
}

// Lane masks hold one bit per byte, lane 0 lowest; the bit above the last
// lane is always clear, so counting trailing ones of a full mask gives
// VECTOR_BYTES.
inline ByteVector equal_to(ByteVector v, uint8_t byte) { return equal(v, splat(byte)); }
inline ByteVector at_most(ByteVector v, uint8_t byte) { return (ByteVector)(v <= splat(byte)); }
inline ByteVector at_least(ByteVector v, uint8_t byte) { return (ByteVector)(v >= splat(byte)); }

}  // namespace VECTOR_NS
