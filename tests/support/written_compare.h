// Whether a text that was written out of a Document (copied JSON, the text
// view's lines) reads back as the same values.
#pragma once

#include <string>

#include "core/document.h"

// Empty when `copy` holds the subtree of `id` in `original`, Error records
// left out: the same kinds in the same shape, the same keys, and the same
// scalar source texts, or the same decoded strings where the writer had to
// rewrite a token that was not JSON.
std::string compare_written(const Document* original, NodeId id, const Document* copy);
