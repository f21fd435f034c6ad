// Hex digits, as escapes (\u00e9, \x41) and hexadecimal numbers write them.
#pragma once

#include <cstdint>

// The value of an ASCII hex digit (either case), or -1.
inline int hex_digit_value(uint8_t byte) {
    if (byte >= '0' && byte <= '9') return byte - '0';
    uint8_t lower = byte | 0x20;
    if (lower >= 'a' && lower <= 'f') return lower - 'a' + 10;
    return -1;
}

// The four hex digits at p as a number, or -1 when fewer than four bytes
// remain before `end` or one of them is not a hex digit.
inline int32_t hex4_value(const uint8_t* p, const uint8_t* end) {
    if (end - p < 4) return -1;
    int32_t value = 0;
    for (int i = 0; i < 4; i++) {
        int digit = hex_digit_value(p[i]);
        if (digit < 0) return -1;
        value = value * 16 + digit;
    }
    return value;
}
