// The Inspector's plain-text description of one node: its type and size, its
// path, a warning when its key repeats, then the value itself (pretty JSON of
// a container, the decoded text of a scalar). The value part is held to a
// window of about 2 MB and lines are kept below 64 KB, so any node of a 4 GB
// document is described at once; the text then says how much was left out.
#pragma once

#include <cstdint>

#include "base/text_builder.h"
#include "core/document.h"
#include "paths/path_format.h"

// Newly allocated and zero-terminated (free it with free_text), or none for
// an absent Document, a bad id, or exhausted memory.
[[nodiscard]] char* inspector_text(const Document* doc, NodeId id, PathStyle style, uint64_t* out_length);

// Shortens every line of the builder's text from `from` on that is longer
// than 64 KB, saying how much of each line was left out. `total_size` is the
// full size of the value that starts at `from`, counting bytes never rendered.
// True when a line was shortened.
bool cut_long_lines(TextBuilder* builder, uint64_t from, uint64_t total_size);
