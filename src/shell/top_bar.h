// The top bar "Tarnwell.TopBar": the view switch, the breadcrumbs or the
// go-to box, the search cluster and the menu button, laid out and hit-tested
// through the portable layout (app/top_bar_layout.h).
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/top_bar_layout.h"
#include "ui/drawing.h"

struct ShellWindow;

constexpr int GOTO_BOX_ID = 1150;
constexpr int SEARCH_BOX_ID = 1155;
// Posted to the bar when the go-to box lost the focus.
constexpr UINT MSG_GOTO_FOCUS_LOST = WM_USER + 1;

// The bar's part of a document window.
struct TopBar {
    HWND goto_box;
    HWND search_box;
    HWND tooltip;
    RenderSlot slot;
    int32_t edit_font_height;  // of the GDI UI font; 0 when it could not be measured
    // "Tree", "Text" and the long cue in the UI font, measured when the fonts
    // change rather than at every mouse move.
    float tree_label;
    float text_label;
    float long_cue;
    const char* cue;           // the search box's cue banner as last set
    uint32_t hover;            // TopBarPart under the mouse, hover-sensitive parts only
    BreadcrumbFit crumbs;      // drawn at the last paint; none while the go-to box is shown
};

LRESULT CALLBACK top_bar_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// The layout for the bar's current size, fonts and page.
TopBarLayout top_bar_geometry(const ShellWindow* shell);
// After a DPI or zoom change: the boxes' font and margins, then their places.
void lay_out_top_bar(ShellWindow* shell);
// The boxes and the tooltips where the current layout puts them.
void place_top_bar_children(ShellWindow* shell);
// Acts on the Notice bits about the bar and its boxes.
void top_bar_notice(ShellWindow* shell, uint32_t notices);
void release_top_bar(ShellWindow* shell);

void paint_top_bar(ShellWindow* shell);

// The two edit boxes (top_bar_edits.cpp).
[[nodiscard]] bool create_top_bar_boxes(ShellWindow* shell);
void open_goto_box(ShellWindow* shell);
void submit_goto(ShellWindow* shell);
// Script mode's "goto": the path typed into the real box, then submitted.
void enter_goto_path(void* context, struct DocWindow* window, const char* text, uint64_t length);
void goto_focus_lost(ShellWindow* shell);
void goto_box_changed(ShellWindow* shell);
void search_text_changed(ShellWindow* shell);
void show_search_text(ShellWindow* shell);
void focus_search_box(ShellWindow* shell);
