// Bytes of an unquoted JSON5 key: ASCII letters, digits, "_", "$", and every
// byte of 0x80 or above (such a key may not start with a digit).
#pragma once

#include <cstdint>

inline bool is_identifier_byte(uint8_t byte) {
    return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') ||
           byte == '_' || byte == '$' || byte >= 0x80;
}
