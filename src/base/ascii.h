// Case folding of ASCII letters only, for the program's own words (script
// commands, key names, file extensions); user text is never folded this way.
#pragma once

#include <cstdint>

inline char fold_ascii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// Whether two zero-terminated texts are equal with ASCII letters folded.
inline bool equal_without_case(const char* a, const char* b) {
    for (; *a && *b; a++, b++) {
        if (fold_ascii(*a) != fold_ascii(*b)) return false;
    }
    return *a == *b;
}
