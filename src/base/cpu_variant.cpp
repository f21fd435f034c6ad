#include "base/cpu_variant.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#if defined(__x86_64__)
#include <cpuid.h>
#endif

namespace {

constexpr uint32_t UNCHOSEN = 0xFFFFFFFFu;
std::atomic<uint32_t> chosen{UNCHOSEN};

#if defined(__x86_64__)
// The system saves the SSE and AVX register state on a switch (XCR0 bits 1
// and 2); without that, AVX code would lose its upper halves.
bool system_saves_wide_registers() {
    uint32_t low, high;
    __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    return (low & 6) == 6;
}
#endif

}  // namespace

uint32_t cpu_best_variant() {
#if defined(__x86_64__)
    uint32_t a, b, c, d;
    if (!__get_cpuid(1, &a, &b, &c, &d)) return CPU_VARIANT_SSE2;
    bool osxsave = c & bit_OSXSAVE, avx = c & bit_AVX;
    if (!osxsave || !avx || !system_saves_wide_registers()) return CPU_VARIANT_SSE2;
    if (__get_cpuid_max(0, nullptr) < 7) return CPU_VARIANT_SSE2;
    __cpuid_count(7, 0, a, b, c, d);
    bool avx2 = b & bit_AVX2, bmi1 = b & bit_BMI, bmi2 = b & bit_BMI2;
    if (avx2 && bmi1 && bmi2) return CPU_VARIANT_AVX2;
#endif
    return CPU_VARIANT_SSE2;
}

uint32_t cpu_variant() {
    uint32_t variant = chosen.load(std::memory_order_relaxed);
    if (variant != UNCHOSEN) return variant;
    variant = cpu_best_variant();
    if (const char* wanted = std::getenv("TARNWELL_CPU")) {
        for (uint32_t v = 0; v < variant; v++)
            if (std::strcmp(wanted, cpu_variant_name(v)) == 0) variant = v;
    }
    chosen.store(variant, std::memory_order_relaxed);
    return variant;
}

bool cpu_force_variant(uint32_t variant) {
    if (variant > cpu_best_variant()) return false;
    chosen.store(variant, std::memory_order_relaxed);
    return true;
}

const char* cpu_variant_name(uint32_t variant) {
    switch (variant) {
    case CPU_VARIANT_SSE2: return "sse2";
    case CPU_VARIANT_AVX2: return "avx2";
    default: return "";
    }
}
