// Control characters are never shown raw: wherever decoded keys or values are
// displayed, each one becomes a visible three-byte symbol that counts as one
// character: line feed ⏎ (U+23CE), tab ⇥ (U+21E5), delete ␡ (U+2421), and any
// other code below 0x20 its control picture U+2400 + code (0x01 -> U+2401 ␁).
#pragma once

#include <cstdint>

inline bool is_control_byte(uint8_t byte) { return byte < 0x20 || byte == 0x7F; }

// The symbol's code point for a control byte, else 0.
inline uint32_t visible_control_symbol(uint8_t byte) {
    if (byte == '\n') return 0x23CE;
    if (byte == '\t') return 0x21E5;
    if (byte == 0x7F) return 0x2421;
    if (byte < 0x20) return 0x2400 + byte;
    return 0;
}

// Writes the symbol's three UTF-8 bytes for a control byte.
inline void visible_control_utf8(uint8_t byte, uint8_t out[3]) {
    uint32_t cp = visible_control_symbol(byte);
    out[0] = static_cast<uint8_t>(0xE0 | (cp >> 12));
    out[1] = static_cast<uint8_t>(0x80 | ((cp >> 6) & 0x3F));
    out[2] = static_cast<uint8_t>(0x80 | (cp & 0x3F));
}
