// load_document on any bytes, in every reading: the first byte chooses strict
// (bit 0) and JSON Lines (bit 1). Every Document must keep its invariants, and
// every per-node operation must stay inside the text.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/load.h"
#include "document_invariants.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    LoadOptions options{static_cast<uint8_t>(data[0] & 1), static_cast<uint8_t>((data[0] >> 1) & 1)};
    data++;
    size--;
    uint8_t* buffer = alloc_text_buffer(size);
    std::memcpy(buffer, data, size);
    uint32_t outcome = 0;
    Document* doc = load_document(buffer, size, &options, nullptr, &outcome);
    if (!doc) std::abort();  // only exhausted memory or cancellation give none
    std::string fault = check_document_invariants(doc);
    if (!fault.empty()) {
        std::fprintf(stderr, "invariant broken: %s\n", fault.c_str());
        std::abort();
    }
    char small[7];
    for (NodeId id = 0; id < node_count(doc); id++) {
        (void)copy_value(doc, id, small, sizeof small);
        (void)copy_key(doc, id, small, sizeof small);
        (void)index_in_parent(doc, id);
        if (id < 64) (void)key_repeat_count(doc, id);
        (void)problem_message_for(doc, id);
        (void)record_line(doc, id);
    }
    for (uint32_t offset = 0; offset <= text_length(doc); offset += 1 + offset / 4) (void)column_of_offset(doc, offset);
    release(doc);
    return 0;
}
