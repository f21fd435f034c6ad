// Settings: the user's preferences, the last window placement and the recent
// files, and their text form in settings.txt ("key=value" lines).
//
// The record holds no pointers, so it is copied and cleared as a whole. Every
// record that parse_settings produces is valid: each field lies in its range
// and the recent entries are distinct valid paths, with the unused slots and
// the bytes after each entry's NUL all zero.
#pragma once

#include <cstdint>

constexpr int32_t RECENT_MAX = 10;
constexpr uint32_t RECENT_PATH_SIZE = 1024;  // a path of at most 1023 bytes and its NUL

constexpr int32_t THEME_FOLLOW_SYSTEM = 0;
constexpr int32_t THEME_DARK = 1;
constexpr int32_t THEME_LIGHT = 2;

constexpr int32_t FONT_SIZE_DEFAULT = 10;
constexpr int32_t FONT_SIZE_MIN = 9;
constexpr int32_t FONT_SIZE_MAX = 24;
constexpr int32_t INSPECTOR_WIDTH_DEFAULT = 360;
constexpr int32_t INSPECTOR_WIDTH_MIN = 200;
constexpr int32_t INSPECTOR_WIDTH_MAX = 1200;

struct Settings {
    int32_t theme;            // THEME_*
    int32_t font_size;        // points; 0 = FONT_SIZE_DEFAULT, else 9-24
    int32_t path_style;       // PathStyle 0-4
    uint8_t inspector;        // Inspector panel shown in new windows
    int32_t inspector_width;  // pixels at 96 DPI, 200-1200
    uint8_t search_case;
    uint8_t search_regex;
    int32_t search_scope;  // SearchScope 0-2
    uint8_t indent_guides;
    int32_t window[4];  // left, top, width, height; a width or height of 0 means none saved
    int32_t recent_count;
    char recent[RECENT_MAX][RECENT_PATH_SIZE];  // UTF-8, most recent first
};

void set_default_settings(Settings* settings);

// Resets to the defaults, then applies every valid line of the text; unknown
// keys, malformed lines and values out of range are skipped or clamped.
void parse_settings(Settings* settings, const uint8_t* bytes, uint64_t length);

// Writes the file text (snprintf contract) and returns its full length. Values
// out of range are written as their defaults or clamped, so the text always
// parses back; invalid recent entries are left out.
uint64_t format_settings(const Settings* settings, char* buffer, uint64_t size);

// Whether bytes can be a recent entry: 1-1023 bytes of well-formed UTF-8
// without control characters.
bool is_valid_recent_path(const uint8_t* bytes, uint64_t length);

// Adds a recent entry the way the file lists them, after those held: skipped
// when invalid, already held, or when ten are held.
void append_recent(Settings* settings, const uint8_t* bytes, uint64_t length);

// Puts path at the front of the recent list (moving it there when already
// held, dropping the oldest when ten are held). False, with nothing changed,
// for a path that cannot be a recent entry.
bool add_recent(Settings* settings, const char* path);

int32_t font_size_or_default(const Settings* settings);
