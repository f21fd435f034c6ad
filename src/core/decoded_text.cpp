#include "core/decoded_text.h"

#include "base/memory.h"

void decode_part_into(const Document* doc, NodeId id, DecodedPart part, BoundedWriter* writer) {
    if (part == DecodedPart::Key) decode_key_into(doc, id, writer);
    else decode_value_into(doc, id, writer);
}

bool decode_node_text(const Document* doc, NodeId id, DecodedPart part, DecodedText* out) {
    out->owned = nullptr;
    out->bytes = out->local;
    BoundedWriter writer = bounded_writer(out->local, sizeof out->local);
    decode_part_into(doc, id, part, &writer);
    out->length = writer.total;
    if (writer.total < sizeof out->local) return true;
    out->owned = static_cast<uint8_t*>(writer.total < UINT64_MAX ? mem_alloc(writer.total + 1) : nullptr);
    if (!out->owned) {
        out->length = 0;
        out->local[0] = 0;
        return false;
    }
    BoundedWriter full = bounded_writer(out->owned, writer.total + 1);
    decode_part_into(doc, id, part, &full);
    out->bytes = out->owned;
    out->length = full.written;
    return true;
}

void release_decoded_text(DecodedText* text) {
    mem_free(text->owned);
    text->owned = nullptr;
}
