// The geometry of the start page, the problem bar and the status bar, with
// their hit tests. Label widths are measured by the caller with the UI font
// and come in as pixels.
#pragma once

#include <cstdint>

#include "app/pixels.h"

struct Document;

struct FloatRect {
    float left;
    float top;
    float right;
    float bottom;
};

inline bool in_float_rect(const FloatRect& rect, float x, float y) {
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

// Start page items, as its hit test gives them.
namespace StartItem {
constexpr uint32_t Nothing = 0;
constexpr uint32_t Open = 1;
constexpr uint32_t OpenFromClipboard = 2;
constexpr uint32_t Recent = 3;  // + i for recent file i
}  // namespace StartItem

constexpr uint32_t START_RECENT_MAX = 10;

struct StartPageInput {
    float width;
    float height;
    float scale;
    uint32_t recent_count;  // only the first ten show
    float open_label;       // measured "Open..."
    float clipboard_label;  // measured "Open from Clipboard"
};

struct StartPageLayout {
    float heading_top;  // "Drop a JSON file here", 30s tall across the full width
    FloatRect open_button;
    FloatRect clipboard_button;
    float list_left;
    float list_width;
    uint32_t recent_count;     // rows shown; no "Recent files" heading without any
    float recent_heading_top;  // 22s tall, from list_left
    FloatRect recent_rows[START_RECENT_MAX];
};

StartPageLayout start_page_layout(const StartPageInput& input);
uint32_t start_page_hit(const StartPageLayout& layout, float x, float y);
// Where a recent row's folder goes after its file name drawn `name_width`
// wide: 12s after the name, to the end of the list width; empty when the name
// leaves no more than 14s.
XRange recent_folder_range(const StartPageLayout& layout, float name_width, float scale);

// The problem bar's one button: "Next problem" for records documents with
// problems, "Show in text" for other documents, none for a file that is gone.
enum class ProblemButton : uint8_t { None, NextProblem, ShowInText };
ProblemButton problem_bar_button(const Document* doc, bool file_gone);

namespace ProblemBarPart {
constexpr uint32_t Nothing = 0;
constexpr uint32_t NextProblem = 1;
constexpr uint32_t Close = 2;
constexpr uint32_t ShowInText = 3;
}  // namespace ProblemBarPart

struct ProblemBarLayout {
    float close_left;  // the close area reaches to the right edge
    ProblemButton button;
    FloatRect button_rect;
    uint8_t text_shown;
    XRange text;
};

// `label` is the measured width of the button's label.
ProblemBarLayout problem_bar_layout(float width, float height, float scale, ProblemButton button, float label);
uint32_t problem_bar_hit(const ProblemBarLayout& layout, float x);

// The status bar's right text is right-aligned to end 10s before the edge
// and is at most this wide.
float status_right_max_width(float width, float scale);
// The width left for the status bar's left text, drawn from 10s, after a
// right text drawn `right_width` wide (0 when there is none).
float status_left_width(float width, float scale, float right_width);
