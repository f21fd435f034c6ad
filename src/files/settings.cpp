#include "files/settings.h"

#include <cstdio>
#include <cstring>

#include "base/utf8.h"
#include "core/document.h"
#include "paths/path_format.h"
#include "search/matcher.h"

namespace {

constexpr int64_t INTEGER_SATURATION = 1000000000;
constexpr int32_t SCOPE_COUNT = 3;

const char* scope_word(int32_t scope) {
    static const char* const WORDS[SCOPE_COUNT] = {"all", "keys", "values"};
    return scope >= 0 && scope < SCOPE_COUNT ? WORDS[scope] : WORDS[static_cast<int32_t>(SearchScope::All)];
}

// Styles out of range answer "jsonpath".
const char* path_style_word(int32_t style) {
    return path_style_settings_word(static_cast<PathStyle>(static_cast<uint32_t>(style)));
}

int32_t clamp(int32_t value, int32_t low, int32_t high) { return value < low ? low : (value > high ? high : value); }

// The number of entries in use, whatever a caller left in recent_count.
int32_t held_recent(const Settings* settings) { return clamp(settings->recent_count, 0, RECENT_MAX); }

// Length of a NUL-terminated text, counted no further than a recent entry can
// reach (RECENT_PATH_SIZE when there is no NUL that early).
uint64_t bounded_length(const char* text) {
    uint64_t length = 0;
    while (length < RECENT_PATH_SIZE && text[length] != 0) length++;
    return length;
}

int32_t find_recent(const Settings* settings, const uint8_t* bytes, uint64_t length) {
    int32_t count = held_recent(settings);
    for (int32_t i = 0; i < count; i++) {
        const char* entry = settings->recent[i];
        if (std::memcmp(entry, bytes, length) == 0 && entry[length] == 0) return i;
    }
    return -1;
}

// Fills the whole slot, so that records holding the same entries compare
// equal byte for byte.
void store_recent(char* slot, const uint8_t* bytes, uint64_t length) {
    std::memset(slot, 0, RECENT_PATH_SIZE);
    std::memcpy(slot, bytes, length);
}

struct Span {
    const uint8_t* begin;
    const uint8_t* end;
};

bool span_is(Span span, const char* word) {
    size_t length = std::strlen(word);
    return static_cast<size_t>(span.end - span.begin) == length && std::memcmp(span.begin, word, length) == 0;
}

// Reads an optional "-" and one or more digits at p, and returns where they
// end, or nullptr when no digit follows. The magnitude saturates, but every
// further character must still be a digit.
const uint8_t* scan_integer(const uint8_t* p, const uint8_t* end, int32_t* value) {
    bool negative = p < end && *p == '-';
    if (negative) p++;
    const uint8_t* digits = p;
    int64_t magnitude = 0;
    for (; p < end && *p >= '0' && *p <= '9'; p++) {
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > INTEGER_SATURATION) magnitude = INTEGER_SATURATION;
    }
    if (p == digits) return nullptr;
    *value = static_cast<int32_t>(negative ? -magnitude : magnitude);
    return p;
}

bool parse_integer(Span value, int32_t* number) { return scan_integer(value.begin, value.end, number) == value.end; }

// The index whose word is the value, or -1.
int32_t find_word(Span value, const char* (*word_of)(int32_t), int32_t count) {
    for (int32_t i = 0; i < count; i++) {
        if (span_is(value, word_of(i))) return i;
    }
    return -1;
}

// Four integers separated by single spaces; a negative width or height
// leaves the saved rectangle as it was.
void apply_window(Settings* settings, Span value) {
    int32_t numbers[4];
    const uint8_t* p = value.begin;
    for (int32_t i = 0; i < 4; i++) {
        if (i > 0) {
            if (p == value.end || *p != ' ') return;
            p++;
        }
        p = scan_integer(p, value.end, &numbers[i]);
        if (!p) return;
    }
    if (p != value.end || numbers[2] < 0 || numbers[3] < 0) return;
    std::memcpy(settings->window, numbers, sizeof numbers);
}

struct FlagKey {
    const char* key;
    uint8_t Settings::*field;
};
const FlagKey FLAG_KEYS[] = {
    {"inspector", &Settings::inspector},
    {"search_case", &Settings::search_case},
    {"search_regex", &Settings::search_regex},
    {"indent_guides", &Settings::indent_guides},
};

void apply_line(Settings* settings, Span key, Span value) {
    int32_t number;
    if (span_is(key, "theme")) {
        if (parse_integer(value, &number) && number >= THEME_FOLLOW_SYSTEM && number <= THEME_LIGHT) {
            settings->theme = number;
        }
    } else if (span_is(key, "font_size")) {
        if (parse_integer(value, &number)) settings->font_size = number == 0 ? 0 : clamp(number, FONT_SIZE_MIN, FONT_SIZE_MAX);
    } else if (span_is(key, "inspector_width")) {
        if (parse_integer(value, &number)) settings->inspector_width = clamp(number, INSPECTOR_WIDTH_MIN, INSPECTOR_WIDTH_MAX);
    } else if (span_is(key, "path_style")) {
        int32_t style = find_word(value, path_style_word, PATH_STYLE_COUNT);
        if (style >= 0) settings->path_style = style;
    } else if (span_is(key, "search_scope")) {
        int32_t scope = find_word(value, scope_word, SCOPE_COUNT);
        if (scope >= 0) settings->search_scope = scope;
    } else if (span_is(key, "window")) {
        apply_window(settings, value);
    } else if (span_is(key, "recent")) {
        append_recent(settings, value.begin, static_cast<uint64_t>(value.end - value.begin));
    } else {
        for (const FlagKey& flag : FLAG_KEYS) {
            if (!span_is(key, flag.key)) continue;
            if (span_is(value, "0") || span_is(value, "1")) settings->*flag.field = value.begin[0] == '1';
            return;
        }
    }
}

void put(BoundedWriter* writer, const void* bytes, uint64_t length) {
    bw_append(writer, static_cast<const uint8_t*>(bytes), length);
}

}  // namespace

void set_default_settings(Settings* settings) {
    std::memset(settings, 0, sizeof *settings);
    settings->inspector_width = INSPECTOR_WIDTH_DEFAULT;
    settings->indent_guides = 1;
}

void parse_settings(Settings* settings, const uint8_t* bytes, uint64_t length) {
    set_default_settings(settings);
    const uint8_t* p = bytes;
    const uint8_t* end = bytes + length;
    while (p < end) {
        const uint8_t* line_end = static_cast<const uint8_t*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
        if (!line_end) line_end = end;
        const uint8_t* next = line_end < end ? line_end + 1 : end;
        if (line_end > p && line_end[-1] == '\r') line_end--;
        const uint8_t* equals = static_cast<const uint8_t*>(std::memchr(p, '=', static_cast<size_t>(line_end - p)));
        if (equals) apply_line(settings, Span{p, equals}, Span{equals + 1, line_end});
        p = next;
    }
}

uint64_t format_settings(const Settings* settings, char* buffer, uint64_t size) {
    const int32_t* window = settings->window;
    char head[512];
    int written = std::snprintf(
        head, sizeof head,
        "theme=%d\nfont_size=%d\npath_style=%s\ninspector=%d\ninspector_width=%d\nsearch_case=%d\n"
        "search_regex=%d\nsearch_scope=%s\nindent_guides=%d\nwindow=%d %d %d %d\n",
        settings->theme >= THEME_FOLLOW_SYSTEM && settings->theme <= THEME_LIGHT ? settings->theme : THEME_FOLLOW_SYSTEM,
        settings->font_size == 0 ? 0 : clamp(settings->font_size, FONT_SIZE_MIN, FONT_SIZE_MAX),
        path_style_word(settings->path_style), settings->inspector != 0,
        clamp(settings->inspector_width, INSPECTOR_WIDTH_MIN, INSPECTOR_WIDTH_MAX), settings->search_case != 0,
        settings->search_regex != 0, scope_word(settings->search_scope), settings->indent_guides != 0, window[0],
        window[1], window[2] < 0 ? 0 : window[2], window[3] < 0 ? 0 : window[3]);
    // Every field is bounded, so the head always fits.
    BoundedWriter writer = bounded_writer(buffer, size);
    put(&writer, head, static_cast<uint64_t>(written));
    int32_t count = held_recent(settings);
    for (int32_t i = 0; i < count; i++) {
        const char* entry = settings->recent[i];
        uint64_t length = bounded_length(entry);
        if (!is_valid_recent_path(reinterpret_cast<const uint8_t*>(entry), length)) continue;
        put(&writer, "recent=", 7);
        put(&writer, entry, length);
        put(&writer, "\n", 1);
    }
    return writer.total;
}

bool is_valid_recent_path(const uint8_t* bytes, uint64_t length) {
    if (length == 0 || length >= RECENT_PATH_SIZE) return false;
    for (uint64_t i = 0; i < length; i++) {
        if (bytes[i] < 0x20 || bytes[i] == 0x7F) return false;
    }
    return utf8_is_valid(bytes, length);
}

void append_recent(Settings* settings, const uint8_t* bytes, uint64_t length) {
    int32_t count = held_recent(settings);
    if (count == RECENT_MAX || !is_valid_recent_path(bytes, length) || find_recent(settings, bytes, length) >= 0) return;
    store_recent(settings->recent[count], bytes, length);
    settings->recent_count = count + 1;
}

bool add_recent(Settings* settings, const char* path) {
    uint64_t length = bounded_length(path);
    if (!is_valid_recent_path(reinterpret_cast<const uint8_t*>(path), length)) return false;
    // The path may be one of the entries (a recent file opened again), which
    // the move below overwrites.
    uint8_t copy[RECENT_PATH_SIZE];
    std::memcpy(copy, path, length);

    int32_t count = held_recent(settings);
    int32_t found = find_recent(settings, copy, length);
    // The entries in front of the path's place move down by one; a new path
    // moves them all, the oldest falling off when ten are held.
    int32_t moved = found;
    if (found < 0) {
        moved = count < RECENT_MAX ? count : RECENT_MAX - 1;
        if (count < RECENT_MAX) count++;
    }
    std::memmove(settings->recent[1], settings->recent[0], static_cast<size_t>(moved) * RECENT_PATH_SIZE);
    store_recent(settings->recent[0], copy, length);
    settings->recent_count = count;
    return true;
}

int32_t font_size_or_default(const Settings* settings) {
    int32_t size = settings->font_size;
    return size >= FONT_SIZE_MIN && size <= FONT_SIZE_MAX ? size : FONT_SIZE_DEFAULT;
}
