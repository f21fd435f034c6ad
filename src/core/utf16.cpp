#include "core/utf16.h"

#include <cstring>

#include "base/utf8.h"

namespace {

constexpr uint64_t CANCEL_CHECK_UNITS = (1u << 24) / 2;

struct Output {
    uint8_t* out;
    uint64_t capacity;
    uint64_t length;
};

inline void put(Output* o, const uint8_t* bytes, uint32_t n) {
    if (o->out && o->length + n <= o->capacity) std::memcpy(o->out + o->length, bytes, n);
    o->length += n;
}

inline void put_code_point(Output* o, uint32_t cp) {
    uint8_t bytes[4];
    put(o, bytes, utf8_encode(cp, bytes));
}

}  // namespace

Utf16Status convert_utf16(const uint8_t* in, uint64_t length, bool big_endian, uint8_t* out, uint64_t capacity,
                          const LoadProgress* progress, uint64_t* produced) {
    Output o{out, capacity, 0};
    const uint64_t units = length / 2;
    const int high_byte = big_endian ? 0 : 1;
    auto unit_at = [&](uint64_t i) -> uint32_t {
        return (uint32_t{in[2 * i + high_byte]} << 8) | in[2 * i + (1 - high_byte)];
    };
    uint64_t i = 0;
    uint64_t next_check = 0;
    while (i < units) {
        if (i >= next_check) {
            if (progress && progress->cancel && progress->cancel->load(std::memory_order_relaxed))
                return Utf16Status::Cancelled;
            next_check = i + CANCEL_CHECK_UNITS;
        }
        // Four ASCII units at a time.
        if (i + 4 <= units && unit_at(i) < 0x80 && unit_at(i + 1) < 0x80 && unit_at(i + 2) < 0x80 &&
            unit_at(i + 3) < 0x80) {
            uint8_t ascii[4] = {static_cast<uint8_t>(unit_at(i)), static_cast<uint8_t>(unit_at(i + 1)),
                                static_cast<uint8_t>(unit_at(i + 2)), static_cast<uint8_t>(unit_at(i + 3))};
            put(&o, ascii, 4);
            i += 4;
            continue;
        }
        uint32_t unit = unit_at(i);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
            uint32_t low = unit_at(i + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                put_code_point(&o, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        put_code_point(&o, (unit >= 0xD800 && unit <= 0xDFFF) ? 0xFFFD : unit);
        i++;
    }
    if (length & 1) put_code_point(&o, 0xFFFD);
    *produced = o.length;
    return Utf16Status::Done;
}
