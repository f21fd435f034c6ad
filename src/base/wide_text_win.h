// Text conversion at the Windows boundary: UTF-8 inside the program, UTF-16
// for Windows. Each result is a new zero-terminated string (mem_free) with its
// length in code units stored through `converted_length` when given; empty
// input gives an empty string. nullptr when the input is too long (over
// 0x7FFFFFF0 bytes or 0x3FFFFFF0 UTF-16 units), not well-formed, or memory
// runs out.
#pragma once

#include <cstdint>

[[nodiscard]] wchar_t* utf8_to_utf16(const char* text, uint64_t length, uint32_t* converted_length = nullptr);
[[nodiscard]] char* utf16_to_utf8(const wchar_t* text, uint64_t length, uint32_t* converted_length = nullptr);
