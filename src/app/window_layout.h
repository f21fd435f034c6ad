// Where a document window's children go: the bars stacked from the top, the
// status bar at the bottom, and between them either the start page or the
// list with the split bar and the Inspector on its right.
#pragma once

#include <cstdint>

#include "app/pixels.h"

namespace DocLength {  // at 96 DPI
constexpr int32_t TopBar = 36;
constexpr int32_t MessageBar = 22;
constexpr int32_t ProblemBar = 30;
constexpr int32_t StatusBar = 22;
constexpr int32_t SplitBar = 4;
constexpr int32_t ListMinimum = 120;  // the Inspector is narrowed before the list gets narrower
}  // namespace DocLength

struct DocLayoutInput {
    int32_t client_width;
    int32_t client_height;
    float scale;
    uint8_t start_page;
    uint8_t message_bar;  // the message bar has a text
    uint8_t problem_bar;  // the problem bar is to be shown
    uint8_t inspector;    // the Inspector is switched on
    int32_t inspector_width;  // at 96 DPI
};

// Rectangles of hidden children are empty (zero width and height).
struct DocLayout {
    PixelRect top_bar;
    PixelRect message_bar;
    PixelRect problem_bar;
    PixelRect start_page;
    PixelRect list;
    PixelRect split_bar;
    PixelRect inspector;
    PixelRect status_bar;
    uint8_t message_bar_shown;
    uint8_t problem_bar_shown;
    uint8_t start_page_shown;  // list and status bar are hidden while it shows
    uint8_t inspector_shown;   // with the split bar
};

DocLayout doc_window_layout(const DocLayoutInput& input);

// The Inspector's width (at 96 DPI) while the split bar is dragged with the
// pointer at `cursor_x` in the window's client area, `client_right` wide:
// what lies right of the pointer, less half the bar, within 200-1200.
int32_t dragged_inspector_width(int32_t client_right, int32_t cursor_x, float scale);

struct DocWindow;
// A Document is shown, the user has not closed the bar, and either the file
// is gone or the Document has problems.
bool problem_bar_visible(const DocWindow* window);
// What a window shows, for its client size and scale: the message bar while
// a search error or a go-to message is set, the problem bar while
// problem_bar_visible.
DocLayoutInput doc_layout_input(const DocWindow* window, int32_t client_width, int32_t client_height, float scale);
