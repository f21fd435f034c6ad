// The small formatters every description is made of: counts with thousands
// separators, sizes in bytes, KB, MB or GB, and the one-line type summary of a
// node ("object · 3 keys"). Buffer-writing forms follow the snprintf contract
// through copy_out, so a cut never splits a character.
#pragma once

#include <cstdint>

#include "base/text_builder.h"
#include "core/document.h"

// Longest format_count text (18,446,744,073,709,551,615) plus its zero byte.
constexpr uint32_t COUNT_TEXT_SIZE = 27;

// 1234567 -> "1,234,567".
uint32_t format_count(uint64_t value, void* buffer, uint64_t size);
void append_formatted_count(TextBuilder* builder, uint64_t value);
// "1 key", "2 keys", "1,000 keys".
void append_count(TextBuilder* builder, uint64_t value, const char* singular, const char* plural);

// "1,023 bytes", "1.5 KB", "1,023.5 KB", "1.0 MB" (a tenth that rounds up to
// 1,024.0 moves on to the next unit), up to GB.
uint32_t format_size(uint64_t bytes, void* buffer, uint64_t size);
void append_formatted_size(TextBuilder* builder, uint64_t bytes);

// "object · 3 keys", "array · 1 item", "records · 2 records",
// "string · 5 characters", "number", "boolean", "null", "error". Nothing for an
// absent Document or a bad id.
void append_type_summary(TextBuilder* builder, const Document* doc, NodeId id);
uint32_t type_summary(const Document* doc, NodeId id, void* buffer, uint64_t size);

// Characters of a string value as decoded (each escape and each bad byte is
// one character); 0 when the decoded text cannot be held in memory.
uint64_t string_character_count(const Document* doc, NodeId id);
