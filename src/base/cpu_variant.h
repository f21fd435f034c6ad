// Which width of vector code the hot scanners run: SSE2 on every x86-64
// CPU, AVX2 where the CPU has it and the system saves its registers.
#pragma once

#include <cstdint>

constexpr uint32_t CPU_VARIANT_SSE2 = 0;
constexpr uint32_t CPU_VARIANT_AVX2 = 1;
constexpr uint32_t CPU_VARIANT_COUNT = 2;

// The widest variant this CPU and system run.
uint32_t cpu_best_variant();

// The variant in use: chosen on first use, the best one unless the
// environment variable TARNWELL_CPU names a narrower one ("sse2", "avx2").
uint32_t cpu_variant();

// Test hook: runs `variant` from now on; false (nothing changed) when this
// CPU cannot run it.
[[nodiscard]] bool cpu_force_variant(uint32_t variant);

// "sse2", "avx2"; "" for none.
const char* cpu_variant_name(uint32_t variant);
