// A node's decoded key or scalar value held for a moment: in a 256-byte local
// buffer, or in an allocation when it is longer.
#pragma once

#include <cstdint>

#include "core/document.h"

struct DecodedText {
    const uint8_t* bytes;
    uint64_t length;
    uint8_t* owned;  // freed by release_decoded_text
    uint8_t local[256];
};

enum class DecodedPart { Key, Value };

// decode_key_into or decode_value_into.
void decode_part_into(const Document* doc, NodeId id, DecodedPart part, BoundedWriter* writer);

// Decodes the key or value of `id` into `out`. On allocation failure `out`
// holds an empty text and the answer is false.
[[nodiscard]] bool decode_node_text(const Document* doc, NodeId id, DecodedPart part, DecodedText* out);
void release_decoded_text(DecodedText* text);
