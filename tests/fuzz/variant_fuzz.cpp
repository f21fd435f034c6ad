// load_document on any bytes at every vector width this CPU has, and with
// JSON Lines read in pieces on several threads: each must build the Document
// that SSE2 builds on one thread. The first byte chooses strict (bit 0) and
// JSON Lines (bit 1), as in load_fuzz; its bits 2-4 how many threads read
// the pieces (two or more, each given at least one byte of text).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/cpu_variant.h"
#include "core/load.h"
#include "document_compare.h"

namespace {

Document* load_with(uint32_t variant, uint32_t threads, const uint8_t* data, size_t size, const LoadOptions* options) {
    if (!cpu_force_variant(variant)) return nullptr;
    load_test_set_threads(threads, 1);
    uint8_t* buffer = alloc_text_buffer(size);
    if (!buffer) std::abort();
    std::memcpy(buffer, data, size);
    uint32_t outcome = 0;
    Document* doc = load_document(buffer, size, options, nullptr, &outcome);
    if (!doc) std::abort();  // only exhausted memory or cancellation give none
    return doc;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    LoadOptions options{static_cast<uint8_t>(data[0] & 1), static_cast<uint8_t>((data[0] >> 1) & 1)};
    uint32_t threads = 2 + ((data[0] >> 2) & 7);
    Document* baseline = load_with(CPU_VARIANT_SSE2, 1, data + 1, size - 1, &options);
    for (uint32_t variant = CPU_VARIANT_SSE2; variant <= cpu_best_variant(); variant++) {
        Document* doc = load_with(variant, variant == CPU_VARIANT_SSE2 ? threads : 1, data + 1, size - 1, &options);
        std::string difference = document_difference(baseline, doc);
        if (!difference.empty()) {
            std::fprintf(stderr, "%s%s differs from sse2: %s\n", cpu_variant_name(variant),
                         variant == CPU_VARIANT_SSE2 ? " in pieces" : "", difference.c_str());
            std::abort();
        }
        release(doc);
    }
    release(baseline);
    return 0;
}
