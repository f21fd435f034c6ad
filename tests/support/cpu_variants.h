// Running a test body once for every vector variant this CPU has.
#pragma once

#include <cstdint>

#include "base/cpu_variant.h"

// Forces each variant in turn (SSE2 first), then puts back the one in use.
template <typename Body>
void for_each_cpu_variant(Body body) {
    uint32_t saved = cpu_variant();
    for (uint32_t variant = 0; variant <= cpu_best_variant(); variant++) {
        if (cpu_force_variant(variant)) body(variant);
    }
    (void)cpu_force_variant(saved);
}
