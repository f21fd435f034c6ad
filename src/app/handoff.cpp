#include "app/handoff.h"

#include <cstring>

#include "base/memory.h"
#include "base/utf8.h"

namespace {

bool is_high_surrogate(uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool is_low_surrogate(uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// UTF-16 units of a UTF-8 path, or -1 when it is not well-formed.
int64_t utf16_units_of(const char* path) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(path);
    const uint8_t* end = p + std::strlen(path);
    int64_t units = 0;
    while (p < end) {
        uint32_t bytes = utf8_sequence_length(p, end);
        if (bytes == 0) return -1;
        units += bytes == 4 ? 2 : 1;
        p += bytes;
    }
    return units;
}

uint8_t* put_unit(uint8_t* out, uint32_t unit) {
    out[0] = static_cast<uint8_t>(unit);
    out[1] = static_cast<uint8_t>(unit >> 8);
    return out + 2;
}

uint8_t* put_path(uint8_t* out, const char* path) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(path);
    const uint8_t* end = p + std::strlen(path);
    while (p < end) {
        uint32_t bytes = utf8_sequence_length(p, end);
        uint32_t cp = utf8_decode(p, bytes);
        p += bytes;
        if (cp >= 0x10000) {
            out = put_unit(out, 0xD800 + ((cp - 0x10000) >> 10));
            out = put_unit(out, 0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out = put_unit(out, cp);
        }
    }
    return put_unit(out, 0);
}

struct Units {
    const uint8_t* bytes;
    uint64_t count;
    uint32_t at(uint64_t i) const { return bytes[2 * i] | (uint32_t{bytes[2 * i + 1]} << 8); }
};

// UTF-8 bytes of units [start, end), or -1 when a surrogate is unpaired.
int64_t utf8_length_of(const Units& units, uint64_t start, uint64_t end) {
    int64_t length = 0;
    for (uint64_t i = start; i < end; i++) {
        uint32_t unit = units.at(i);
        if (is_high_surrogate(unit)) {
            if (i + 1 >= end || !is_low_surrogate(units.at(i + 1))) return -1;
            length += 4;
            i++;
        } else if (is_low_surrogate(unit)) {
            return -1;
        } else {
            length += unit < 0x80 ? 1 : (unit < 0x800 ? 2 : 3);
        }
    }
    return length;
}

// Units [start, end), already checked, as a new zero-terminated UTF-8 text.
char* utf8_of(const Units& units, uint64_t start, uint64_t end, int64_t length) {
    char* text = mem_alloc_array<char>(static_cast<uint64_t>(length) + 1);
    if (!text) return nullptr;
    uint8_t* out = reinterpret_cast<uint8_t*>(text);
    for (uint64_t i = start; i < end; i++) {
        uint32_t cp = units.at(i);
        if (is_high_surrogate(cp)) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (units.at(i + 1) - 0xDC00);
            i++;
        }
        out += utf8_encode(cp, out);
    }
    *out = 0;
    return text;
}

// Calls piece(start, end) for every non-empty piece that ends in a NUL; stops
// and returns false when piece does.
template <typename Piece>
bool for_each_piece(const Units& units, Piece piece) {
    uint64_t start = 0;
    for (uint64_t i = 0; i < units.count; i++) {
        if (units.at(i) != 0) continue;
        if (i > start && !piece(start, i)) return false;
        start = i + 1;
    }
    return true;
}

}  // namespace

bool build_handoff(const char* const* paths, uint32_t count, uint8_t** data, uint32_t* byte_count) {
    uint64_t total = 0;
    for (uint32_t i = 0; i < count; i++) {
        int64_t units = utf16_units_of(paths[i]);
        if (units < 0) return false;
        total += static_cast<uint64_t>(units) + 1;
        if (2 * total > UINT32_MAX) return false;
    }
    uint8_t* block = mem_alloc_array<uint8_t>(2 * total);
    if (!block) return false;
    uint8_t* out = block;
    for (uint32_t i = 0; i < count; i++) out = put_path(out, paths[i]);
    *data = block;
    *byte_count = static_cast<uint32_t>(2 * total);
    return true;
}

HandoffStatus parse_handoff(uint64_t magic, const void* data, uint64_t byte_count, HandoffPaths* result) {
    *result = {};
    if (magic != HANDOFF_MAGIC || byte_count % 2 != 0 || (byte_count && !data)) return HandoffStatus::Rejected;
    const Units units{static_cast<const uint8_t*>(data), byte_count / 2};
    uint64_t pieces = 0;
    bool well_formed = for_each_piece(units, [&](uint64_t start, uint64_t end) {
        pieces++;
        return utf8_length_of(units, start, end) >= 0;
    });
    if (!well_formed) return HandoffStatus::Rejected;
    if (pieces == 0) return HandoffStatus::Ok;
    result->paths = mem_alloc_array<char*>(pieces);
    if (!result->paths) return HandoffStatus::OutOfMemory;
    bool converted = for_each_piece(units, [&](uint64_t start, uint64_t end) {
        char* path = utf8_of(units, start, end, utf8_length_of(units, start, end));
        if (!path) return false;
        result->paths[result->count++] = path;
        return true;
    });
    return converted ? HandoffStatus::Ok : HandoffStatus::OutOfMemory;
}

void release_handoff_paths(HandoffPaths* paths) {
    for (uint32_t i = 0; i < paths->count; i++) mem_free(paths->paths[i]);
    mem_free(paths->paths);
    *paths = {};
}
