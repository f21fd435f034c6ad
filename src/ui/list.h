// The list control, window class "Tarnwell.List": the tree rows or the text
// lines of a document window's ViewState, painted from paint_row, with the
// keyboard, mouse, wheel and scroll bars turned into ViewState operations.
// The document window embeds a ListControl and creates the window with it;
// the control owns no document data.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/list_scroll.h"
#include "ui/drawing.h"
#include "views/row_paint.h"

struct DocWindow;
struct ListControl;

// Posted by the list to itself when a painted line was wider than any before:
// the horizontal bar is recomputed outside painting.
constexpr UINT MSG_LIST_WIDEST_LINE = WM_APP + 5;

struct ListControl {
    HWND window;
    DocWindow* doc;
    // The document window's fonts and DPI scale; it sets both before creating
    // the list and after every DPI or zoom change (then list_fonts_changed).
    const Fonts* fonts;
    float scale;
    RenderSlot slot;
    float widest_line;  // widest text-view line painted so far, pixels
    int32_t h_offset;   // text view only
    uint8_t drag_selecting;
    uint8_t h_bar_shown;
    uint32_t top_row;
    int32_t wheel_remainder;
    uint16_t pending_surrogate;
    uint8_t alt_click;  // the next Alt key-up is swallowed
    RowPaint paint;
    uint8_t synced;
    uint32_t synced_row_count;
    NodeId synced_node;
    uint32_t synced_mode;
    uint8_t updating_bars;  // showing a bar sends WM_SIZE back into update_scroll_bars
    // Opens the list's context menu at a screen point; may be absent.
    void (*context_menu)(ListControl* list, POINT screen);
};

[[nodiscard]] bool register_list_class(HINSTANCE instance);
// Creates the "Tarnwell.List" child (vertical scroll bar, tab stop) for a
// zeroed record whose doc, fonts and scale are set. False on failure.
[[nodiscard]] bool create_list(ListControl* list, HWND parent, int32_t control_id);

// The one call after anything changed the ViewState: scroll bars when the
// row count changed, the scroll request, the other parts of the window when
// the selection or the view changed, a repaint.
void sync_list(ListControl* list, bool centre);
// Applies the Notice bits that concern the list (List, CentreSelection,
// NewView, ResetHorizontalScroll).
void list_notice(ListControl* list, uint32_t notices);
// The fonts changed (zoom or DPI): the widest line is measured anew and the
// selected row stays in view.
void list_fonts_changed(ListControl* list);

void update_scroll_bars(ListControl* list);
void update_h_scroll(ListControl* list);
// Scrolls the text view sideways to an offset (clamped to the content) and
// repaints when it moved.
void scroll_sideways(ListControl* list, int64_t wanted);
void set_top_row(ListControl* list, uint32_t row);
void scroll_row_into_view(ListControl* list, uint32_t row, bool centre);
// The list's row count, client height and row height.
ListMetrics list_metrics(const ListControl* list);

// Message handlers of list_input.cpp and list_paint.cpp.
void paint_list(ListControl* list);
bool handle_list_key(ListControl* list, uint32_t key, uint32_t modifiers);
void list_type_ahead(ListControl* list, wchar_t unit);
void list_mouse_button(ListControl* list, UINT message, WPARAM wparam, LPARAM lparam);
void list_mouse_move(ListControl* list, WPARAM wparam, LPARAM lparam);
void list_wheel(ListControl* list, bool horizontal, WPARAM wparam);
void list_context_menu(ListControl* list, LPARAM lparam);
void list_scroll(ListControl* list, bool horizontal, WPARAM wparam);
