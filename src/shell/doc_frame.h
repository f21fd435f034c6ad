// The Win32 half of a document window: the top-level window of class
// "Tarnwell.Doc", its child windows and their layout, and the translation of
// its messages into calls of the portable half (src/app).
#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/drawing.h"
#include "shell/top_bar.h"
#include "ui/list.h"

struct DocWindow;
struct FileWatcher;

// Hangs off DocWindow::platform.
struct ShellWindow {
    DocWindow* doc;  // none once the portable half has let go
    HWND window;
    HWND top_bar;
    TopBar top;  // the top bar's boxes, tooltips and paint state
    HWND message_bar;
    HWND problem_bar;
    ListControl list;  // its window is list.window
    HWND split_bar;
    HWND inspector;
    HWND status_bar;
    HWND start_page;
    uint32_t dpi;
    float scale;  // dpi / 96
    Fonts fonts;  // the list points at them
    RenderSlot start_slot;
    RenderSlot bar_slots[3];  // message bar, problem bar, status bar
    uint32_t start_hover;     // StartItem under the mouse
    uint32_t problem_hover;   // ProblemBarPart under the mouse
    FileWatcher* watcher;     // while the window shows a file
    uint8_t split_dragging;   // the split bar has the mouse capture
    uint8_t destroying;  // the window is on its way out (WM_DESTROY has come)
};

// Control ids of the children.
constexpr int MESSAGE_BAR_ID = 1152;
constexpr int PROBLEM_BAR_ID = 1153;
constexpr int STATUS_BAR_ID = 1154;

// Registers "Tarnwell.Doc" and the classes of its children. False on failure.
[[nodiscard]] bool register_doc_classes(HINSTANCE instance);

// The host's create_window and destroy_window.
bool create_doc_frame(void* context, DocWindow* window);
void destroy_doc_frame(void* context, DocWindow* window);

HWND doc_frame_handle(const DocWindow* window);
ShellWindow* shell_of(const DocWindow* window);
// The DocWindow whose top-level window is the root ancestor of `any`, or none.
DocWindow* find_doc_window(HWND any);

// The host's notify: repaints, layout, title, focus as the Notice bits ask.
void doc_frame_notify(void* context, DocWindow* window, uint32_t notices);
// The host's timers of a DocWindow.
void start_doc_timer(void* context, DocWindow* window, uint32_t id, uint32_t milliseconds);
void stop_doc_timer(void* context, DocWindow* window, uint32_t id);

// After a Document was installed: a window that shows a file and has no
// watcher yet starts one, and checks the file once, which may have changed
// while it was being read.
void watch_shown_file(DocWindow* window);

void layout_doc_window(ShellWindow* shell);
// Builds the fonts for the window's DPI and the text size in effect, hands
// them to the children, then lets go of the old ones.
void rebuild_fonts(ShellWindow* shell);
