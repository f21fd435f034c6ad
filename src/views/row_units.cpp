#include "views/row_units.h"

#include "base/memory.h"

namespace {

constexpr uint16_t REPLACEMENT = 0xFFFD;

bool continuation(uint8_t byte) { return (byte & 0xC0) == 0x80; }

[[nodiscard]] bool reserve_units(RowUnits* row, uint32_t length) {
    if (row->capacity >= static_cast<uint64_t>(length) + 1) return true;
    uint64_t capacity = static_cast<uint64_t>(length) + 64;
    if (capacity > UINT32_MAX) return false;
    uint16_t* units = mem_realloc_array(row->units, capacity);
    if (!units) return false;
    row->units = units;
    uint32_t* map = mem_realloc_array(row->unit_of_byte, capacity);
    if (!map) return false;
    row->unit_of_byte = map;
    row->capacity = static_cast<uint32_t>(capacity);
    return true;
}

// The code point of the sequence at text[i] and its byte count; a bad byte
// gives U+FFFD for one byte.
uint32_t decode_one(const uint8_t* text, uint32_t length, uint32_t i, uint32_t* used) {
    uint8_t lead = text[i];
    uint32_t left = length - i;
    *used = 1;
    if (lead < 0x80) return lead;
    if (lead >= 0xC2 && lead <= 0xDF) {
        if (left < 2 || !continuation(text[i + 1])) return REPLACEMENT;
        *used = 2;
        return (lead & 0x1Fu) << 6 | (text[i + 1] & 0x3Fu);
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        if (left < 3 || !continuation(text[i + 1]) || !continuation(text[i + 2])) return REPLACEMENT;
        *used = 3;
        uint32_t cp = (lead & 0x0Fu) << 12 | (text[i + 1] & 0x3Fu) << 6 | (text[i + 2] & 0x3Fu);
        return (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF)) ? REPLACEMENT : cp;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        if (left < 4 || !continuation(text[i + 1]) || !continuation(text[i + 2]) || !continuation(text[i + 3]))
            return REPLACEMENT;
        *used = 4;
        uint32_t cp = (lead & 0x07u) << 18 | (text[i + 1] & 0x3Fu) << 12 | (text[i + 2] & 0x3Fu) << 6 |
                      (text[i + 3] & 0x3Fu);
        return (cp < 0x10000 || cp > 0x10FFFF) ? REPLACEMENT : cp;
    }
    return REPLACEMENT;
}

}  // namespace

void release_row_units(RowUnits* row) {
    mem_free(row->units);
    mem_free(row->unit_of_byte);
    *row = {};
}

bool convert_row_units(RowUnits* row, const uint8_t* text, uint32_t length) {
    // Every sequence takes at most as many units as bytes, so length + 1
    // entries hold both the units and the map with its end entry.
    if (!reserve_units(row, length)) return false;
    uint32_t count = 0;
    for (uint32_t i = 0; i < length;) {
        uint32_t used = 0;
        uint32_t cp = decode_one(text, length, i, &used);
        for (uint32_t k = 0; k < used; k++) row->unit_of_byte[i + k] = count;
        if (cp > 0xFFFF) {
            cp -= 0x10000;
            row->units[count++] = static_cast<uint16_t>(0xD800 + (cp >> 10));
            row->units[count++] = static_cast<uint16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            row->units[count++] = static_cast<uint16_t>(cp);
        }
        i += used;
    }
    row->unit_of_byte[length] = count;
    row->unit_count = count;
    return true;
}

UnitRange run_unit_range(const RowUnits* row, const TextRun& run, uint32_t text_length) {
    uint32_t start = run.start < text_length ? run.start : text_length;
    uint32_t end = run.length < text_length - start ? start + run.length : text_length;
    return {row->unit_of_byte[start], row->unit_of_byte[end]};
}
