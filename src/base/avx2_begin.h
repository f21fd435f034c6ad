// Compiles what follows, up to base/avx2_end.h, for CPUs with AVX2 (and the
// BMI instructions that come with it). Include every header the code needs
// before this one: whatever a header defines after it would be built for
// AVX2 too, and a shared inline copy of it could then reach older CPUs.
#define VECTOR_VARIANT_AVX2 1
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2,bmi,bmi2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2,bmi,bmi2")
#endif
