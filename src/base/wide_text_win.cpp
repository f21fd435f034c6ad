#include "base/wide_text_win.h"

#include <windows.h>

#include "base/memory.h"

namespace {

constexpr uint64_t UTF8_INPUT_MAX = 0x7FFFFFF0;
constexpr uint64_t UTF16_INPUT_MAX = 0x3FFFFFF0;

template <typename T>
T* empty_text(uint32_t* converted_length) {
    T* text = mem_alloc_array<T>(1);
    if (text) text[0] = 0;
    if (text && converted_length) *converted_length = 0;
    return text;
}

}  // namespace

wchar_t* utf8_to_utf16(const char* text, uint64_t length, uint32_t* converted_length) {
    if (length == 0) return empty_text<wchar_t>(converted_length);
    if (length > UTF8_INPUT_MAX) return nullptr;
    int input = static_cast<int>(length);
    int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, input, nullptr, 0);
    if (units <= 0) return nullptr;
    wchar_t* wide = mem_alloc_array<wchar_t>(static_cast<uint64_t>(units) + 1);
    if (!wide) return nullptr;
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, input, wide, units) != units) {
        mem_free(wide);
        return nullptr;
    }
    wide[units] = 0;
    if (converted_length) *converted_length = static_cast<uint32_t>(units);
    return wide;
}

char* utf16_to_utf8(const wchar_t* text, uint64_t length, uint32_t* converted_length) {
    if (length == 0) return empty_text<char>(converted_length);
    if (length > UTF16_INPUT_MAX) return nullptr;
    int input = static_cast<int>(length);
    int bytes = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, input, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return nullptr;
    char* narrow = mem_alloc_array<char>(static_cast<uint64_t>(bytes) + 1);
    if (!narrow) return nullptr;
    if (WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, input, narrow, bytes, nullptr, nullptr) != bytes) {
        mem_free(narrow);
        return nullptr;
    }
    narrow[bytes] = 0;
    if (converted_length) *converted_length = static_cast<uint32_t>(bytes);
    return narrow;
}
