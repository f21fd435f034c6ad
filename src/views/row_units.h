// A row's UTF-8 text as the UTF-16 units DirectWrite lays out, with a map from
// every byte to its unit, so that each run keeps its own characters however
// many bad bytes come before it.
#pragma once

#include <cstdint>

#include "views/row_paint.h"

// Scratch space reused for every row; grown on demand, never shrunk.
struct RowUnits {
    uint16_t* units;
    uint32_t* unit_of_byte;  // one entry per byte, plus one for the end
    uint32_t unit_count;
    uint32_t capacity;  // entries of both arrays
};

void release_row_units(RowUnits* row);

// Decodes text[0, length) into row->units. Well-formed sequences give their
// character (a surrogate pair above U+FFFF); a three- or four-byte shape whose
// value is overlong, a surrogate or beyond U+10FFFF gives one U+FFFD for the
// whole shape; every other bad byte gives one U+FFFD. Every byte of a sequence
// maps to the sequence's first unit. False when the scratch space cannot grow.
[[nodiscard]] bool convert_row_units(RowUnits* row, const uint8_t* text, uint32_t length);

struct UnitRange {
    uint32_t start;
    uint32_t end;
};
// The units a run covers in the text last converted, its bytes cut to the text.
UnitRange run_unit_range(const RowUnits* row, const TextRun& run, uint32_t text_length);
