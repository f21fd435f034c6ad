#include "settings_checks.h"

#include <cstring>

namespace {

bool in_range(int32_t value, int32_t low, int32_t high) { return value >= low && value <= high; }

bool zero_from(const char* bytes, size_t from, size_t size) {
    for (size_t i = from; i < size; i++) {
        if (bytes[i] != 0) return false;
    }
    return true;
}

}  // namespace

std::string check_settings_invariants(const Settings& s) {
    if (!in_range(s.theme, 0, 2)) return "theme " + std::to_string(s.theme);
    if (s.font_size != 0 && !in_range(s.font_size, FONT_SIZE_MIN, FONT_SIZE_MAX)) return "font_size";
    if (!in_range(s.path_style, 0, 4)) return "path_style";
    if (!in_range(s.inspector_width, INSPECTOR_WIDTH_MIN, INSPECTOR_WIDTH_MAX)) return "inspector_width";
    if (!in_range(s.search_scope, 0, 2)) return "search_scope";
    for (uint8_t flag : {s.inspector, s.search_case, s.search_regex, s.indent_guides}) {
        if (flag > 1) return "flag " + std::to_string(flag);
    }
    if (s.window[2] < 0 || s.window[3] < 0) return "window size";
    if (!in_range(s.recent_count, 0, RECENT_MAX)) return "recent_count";
    for (int32_t i = 0; i < RECENT_MAX; i++) {
        const char* entry = s.recent[i];
        if (i >= s.recent_count) {
            if (!zero_from(entry, 0, RECENT_PATH_SIZE)) return "unused slot " + std::to_string(i);
            continue;
        }
        size_t length = strnlen(entry, RECENT_PATH_SIZE);
        if (!is_valid_recent_path(reinterpret_cast<const uint8_t*>(entry), length)) return "invalid recent entry";
        if (!zero_from(entry, length, RECENT_PATH_SIZE)) return "bytes after an entry";
        for (int32_t j = 0; j < i; j++) {
            if (std::strcmp(s.recent[j], entry) == 0) return "repeated recent entry";
        }
    }
    return "";
}

bool same_settings(const Settings& a, const Settings& b) {
    return a.theme == b.theme && a.font_size == b.font_size && a.path_style == b.path_style &&
           a.inspector == b.inspector && a.inspector_width == b.inspector_width && a.search_case == b.search_case &&
           a.search_regex == b.search_regex && a.search_scope == b.search_scope && a.indent_guides == b.indent_guides &&
           std::memcmp(a.window, b.window, sizeof a.window) == 0 && a.recent_count == b.recent_count &&
           std::memcmp(a.recent, b.recent, sizeof a.recent) == 0;
}

std::string formatted_settings(const Settings& settings) {
    std::string text(format_settings(&settings, nullptr, 0), '\0');
    format_settings(&settings, text.data(), text.size() + 1);
    return text;
}
