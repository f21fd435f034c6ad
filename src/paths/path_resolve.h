// Reading a typed path (any of the five notations) back to the Node it names.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/document.h"

// The Node named by `text`, or NO_NODE with the reason in `message` (snprintf
// contract; an empty message on success, and for an empty Document).
NodeId resolve_path(const Document* doc, const char* text, size_t length, char* message, size_t message_size);
