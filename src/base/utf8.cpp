#include "base/utf8.h"

uint64_t utf8_count_chars(const uint8_t* p, size_t n) {
    const uint8_t* end = p + n;
    uint64_t count = 0;
    while (p < end) {
        if (end - p >= 8 && utf8_eight_ascii(p)) {
            p += 8;
            count += 8;
            continue;
        }
        uint32_t len = utf8_sequence_length(p, end);
        p += len ? len : 1;
        count += 1;
    }
    return count;
}

bool utf8_is_valid(const uint8_t* p, size_t n) {
    const uint8_t* end = p + n;
    while (p < end) {
        if (end - p >= 8 && utf8_eight_ascii(p)) {
            p += 8;
            continue;
        }
        uint32_t len = utf8_sequence_length(p, end);
        if (!len) return false;
        p += len;
    }
    return true;
}

size_t utf8_cut_point(const uint8_t* text, size_t length, size_t limit) {
    if (limit >= length) return length;
    // Only a lead byte up to three places back can start a sequence that the
    // cut would split.
    for (size_t back = 1; back <= 3 && back <= limit; back++) {
        size_t start = limit - back;
        uint8_t byte = text[start];
        if ((byte & 0xC0) == 0x80) continue;
        if (byte >= 0xC2 && utf8_sequence_length(text + start, text + length) > back) return start;
        break;
    }
    return limit;
}

size_t utf8_prefix_in_units(const uint8_t* text, size_t length, uint64_t units) {
    const uint8_t* p = text;
    const uint8_t* end = text + length;
    while (p < end) {
        uint32_t bytes = utf8_sequence_length(p, end);
        uint64_t needed = bytes == 4 ? 2 : 1;
        if (needed > units) break;
        units -= needed;
        p += bytes ? bytes : 1;
    }
    return static_cast<size_t>(p - text);
}

uint32_t utf8_encode(uint32_t cp, uint8_t* out) {
    if (cp < 0x80) {
        out[0] = static_cast<uint8_t>(cp);
        return 1;
    }
    if (cp < 0x800) {
        out[0] = static_cast<uint8_t>(0xC0 | (cp >> 6));
        out[1] = static_cast<uint8_t>(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        out[0] = static_cast<uint8_t>(0xE0 | (cp >> 12));
        out[1] = static_cast<uint8_t>(0x80 | ((cp >> 6) & 0x3F));
        out[2] = static_cast<uint8_t>(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = static_cast<uint8_t>(0xF0 | (cp >> 18));
    out[1] = static_cast<uint8_t>(0x80 | ((cp >> 12) & 0x3F));
    out[2] = static_cast<uint8_t>(0x80 | ((cp >> 6) & 0x3F));
    out[3] = static_cast<uint8_t>(0x80 | (cp & 0x3F));
    return 4;
}
