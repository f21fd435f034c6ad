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

// How a key's value is read and written.
enum class SettingKind : uint8_t {
    Choice,   // an integer from low to high; anything else is skipped
    Clamped,  // an integer clamped to low..high (0 kept as "default" when zero_is_default)
    Word,     // one of the words of word_of(low..high)
    Flag,     // "0" or "1"
    Window,   // four integers: left, top, width, height
};

struct SettingKey {
    const char* key;
    SettingKind kind;
    int32_t Settings::*number;  // Choice, Clamped, Word
    uint8_t Settings::*flag;    // Flag
    int32_t low, high, fallback;
    uint8_t zero_is_default;
    const char* (*word_of)(int32_t);  // Word: out-of-range values give the fallback's word
};

// Every key but "recent", in the order the file lists them.
const SettingKey SETTING_KEYS[] = {
    {"theme", SettingKind::Choice, &Settings::theme, nullptr, THEME_FOLLOW_SYSTEM, THEME_LIGHT, THEME_FOLLOW_SYSTEM, 0,
     nullptr},
    {"font_size", SettingKind::Clamped, &Settings::font_size, nullptr, FONT_SIZE_MIN, FONT_SIZE_MAX, 0, 1, nullptr},
    {"path_style", SettingKind::Word, &Settings::path_style, nullptr, 0, PATH_STYLE_COUNT - 1, 0, 0, path_style_word},
    {"inspector", SettingKind::Flag, nullptr, &Settings::inspector, 0, 1, 0, 0, nullptr},
    {"inspector_width", SettingKind::Clamped, &Settings::inspector_width, nullptr, INSPECTOR_WIDTH_MIN,
     INSPECTOR_WIDTH_MAX, INSPECTOR_WIDTH_DEFAULT, 0, nullptr},
    {"search_case", SettingKind::Flag, nullptr, &Settings::search_case, 0, 1, 0, 0, nullptr},
    {"search_regex", SettingKind::Flag, nullptr, &Settings::search_regex, 0, 1, 0, 0, nullptr},
    {"search_scope", SettingKind::Word, &Settings::search_scope, nullptr, 0, SCOPE_COUNT - 1, 0, 0, scope_word},
    {"indent_guides", SettingKind::Flag, nullptr, &Settings::indent_guides, 0, 1, 1, 0, nullptr},
    {"window", SettingKind::Window, nullptr, nullptr, 0, 0, 0, 0, nullptr},
};

// The value a field is written with: in its range, else its default.
int32_t written_value(const SettingKey& entry, int32_t value) {
    switch (entry.kind) {
    case SettingKind::Choice: return value >= entry.low && value <= entry.high ? value : entry.fallback;
    case SettingKind::Clamped: return value == 0 && entry.zero_is_default ? 0 : clamp(value, entry.low, entry.high);
    default: return value;
    }
}

void apply_value(Settings* settings, const SettingKey& entry, Span value) {
    int32_t number;
    switch (entry.kind) {
    case SettingKind::Choice:
    case SettingKind::Clamped:
        if (!parse_integer(value, &number)) return;
        if (entry.kind == SettingKind::Choice && (number < entry.low || number > entry.high)) return;
        settings->*entry.number = written_value(entry, number);
        return;
    case SettingKind::Word:
        number = find_word(value, entry.word_of, entry.high + 1);
        if (number >= 0) settings->*entry.number = number;
        return;
    case SettingKind::Flag:
        if (span_is(value, "0") || span_is(value, "1")) settings->*entry.flag = value.begin[0] == '1';
        return;
    case SettingKind::Window: apply_window(settings, value); return;
    }
}

void apply_line(Settings* settings, Span key, Span value) {
    if (span_is(key, "recent")) {
        append_recent(settings, value.begin, static_cast<uint64_t>(value.end - value.begin));
        return;
    }
    for (const SettingKey& entry : SETTING_KEYS) {
        if (span_is(key, entry.key)) {
            apply_value(settings, entry, value);
            return;
        }
    }
}

// "key=value\n" for one entry; at most 64 bytes.
int format_value(const Settings* settings, const SettingKey& entry, char* line, size_t size) {
    const int32_t* window = settings->window;
    switch (entry.kind) {
    case SettingKind::Word:
        return std::snprintf(line, size, "%s=%s\n", entry.key, entry.word_of(settings->*entry.number));
    case SettingKind::Flag: return std::snprintf(line, size, "%s=%d\n", entry.key, settings->*entry.flag != 0);
    case SettingKind::Window:
        return std::snprintf(line, size, "%s=%d %d %d %d\n", entry.key, window[0], window[1],
                             window[2] < 0 ? 0 : window[2], window[3] < 0 ? 0 : window[3]);
    default: return std::snprintf(line, size, "%s=%d\n", entry.key, written_value(entry, settings->*entry.number));
    }
}

void put(BoundedWriter* writer, const void* bytes, uint64_t length) {
    bw_append(writer, static_cast<const uint8_t*>(bytes), length);
}

}  // namespace

void set_default_settings(Settings* settings) {
    std::memset(settings, 0, sizeof *settings);
    for (const SettingKey& entry : SETTING_KEYS) {
        if (entry.number) settings->*entry.number = entry.fallback;
        if (entry.flag) settings->*entry.flag = static_cast<uint8_t>(entry.fallback);
    }
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
    BoundedWriter writer = bounded_writer(buffer, size);
    for (const SettingKey& entry : SETTING_KEYS) {
        char line[64];  // the longest, "window=" and four integers, fits
        int written = format_value(settings, entry, line, sizeof line);
        put(&writer, line, static_cast<uint64_t>(written));
    }
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
