// Checks the list control on a real window where script mode cannot reach
// (the row height, End and Home, a lost device and the text view's band are
// screen cases of the program): the row height at 144 DPI, dragging over
// lines of the text view, the chevron rule for double clicks and the search
// marks, input through the list's messages, and a switch to the dark palette.
// With a folder argument it also saves each scene as a BMP file there.
// Exit code 0 when all is well.
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "app/commands.h"
#include "app/search_box.h"
#include "base/memory.h"
#include "test_host.h"
#include "ui/drawing.h"
#include "ui/list.h"
#include "ui/screen_capture.h"
#include "views/palette.h"
#include "views/view_state.h"

namespace {

constexpr int32_t LIST_WIDTH = 420;

ListControl list;
Fonts fonts;
HWND frame;
int failures;
const wchar_t* screen_folder;

void check(bool ok, const char* what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAIL", what);
    if (!ok) failures++;
}

void pump_messages(DWORD milliseconds) {
    DWORD start = GetTickCount();
    MSG message;
    do {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(10);
    } while (GetTickCount() - start < milliseconds);
}

LRESULT CALLBACK frame_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_SIZE && list.window) MoveWindow(list.window, 0, 0, LOWORD(lparam), HIWORD(lparam), TRUE);
    return DefWindowProcW(window, message, wparam, lparam);
}

// The harness's host hands the list its notices, as the document window does.
void forward_notice(void*, DocWindow*, uint32_t notices) { list_notice(&list, notices); }

// A frame of `rows` rows with the list filling it, showing the window's view.
void show(DocWindow* doc, int32_t rows) {
    if (frame) DestroyWindow(frame);
    list = {};
    list.doc = doc;
    list.fonts = &fonts;
    list.scale = 1.0f;
    frame = CreateWindowExW(0, L"ListCheck.Frame", L"", WS_POPUP | WS_VISIBLE, 20, 20, LIST_WIDTH,
                            rows * fonts.row_height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!frame || !create_list(&list, frame, 1)) return;
    RECT client;
    GetClientRect(frame, &client);
    MoveWindow(list.window, 0, 0, client.right, client.bottom, TRUE);
    ShowWindow(list.window, SW_SHOW);
    list_notice(&list, Notice::NewView);
    pump_messages(300);
}

struct Capture {
    uint32_t* pixels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    ~Capture() { mem_free(pixels); }
    uint32_t at(int32_t x, int32_t y) const { return pixels[y * width + x]; }
};

// Captures the list and, when asked, saves the frame as NAME.bmp.
void capture(Capture* shot, const char* name) {
    pump_messages(100);
    shot->pixels = capture_window(list.window, &shot->width, &shot->height);
    if (screen_folder && shot->pixels) {
        wchar_t path[MAX_PATH];
        std::swprintf(path, MAX_PATH, L"%ls\\%hs.bmp", screen_folder, name);
        if (!save_window_bmp(frame, path)) std::printf("note: %s.bmp not saved\n", name);
    }
}

// Whether rows first to last (and no row just outside) carry the selection
// band, looked at near the right edge where no text reaches.
bool band_covers(const Capture& shot, uint32_t first, uint32_t last) {
    if (!shot.pixels) return false;
    int32_t x = LIST_WIDTH - GetSystemMetrics(SM_CXVSCROLL) - 6;
    int32_t r = fonts.row_height;
    uint32_t selection = palette_colour(Colour::Selection);
    uint32_t background = palette_colour(Colour::ViewBackground);
    int32_t top = static_cast<int32_t>(first) * r;
    int32_t bottom = static_cast<int32_t>(last + 1) * r;
    bool ok = shot.at(x, top) == selection && shot.at(x, bottom - 1) == selection;
    if (top > 0) ok = ok && shot.at(x, top - 1) == background;
    if (bottom < shot.height) ok = ok && shot.at(x, bottom) == background;
    return ok;
}

void key(UINT virtual_key) { SendMessageW(list.window, WM_KEYDOWN, virtual_key, 0); }

void check_text_drag(TestHost* host) {
    // One element a line, so that the text view has a line for each.
    std::string text = "[";
    for (int i = 0; i < 30; i++) text += (i ? ",\n  " : "\n  ") + std::to_string(i);
    DocWindow* doc = host->open_text(text + "\n]");
    show(doc, 15);
    LARGE_INTEGER frequency, before, after;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&before);
    RedrawWindow(list.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    QueryPerformanceCounter(&after);
    std::printf("one repaint of 15 rows: %.1f ms\n",
                1000.0 * static_cast<double>(after.QuadPart - before.QuadPart) / static_cast<double>(frequency.QuadPart));
    run_command(doc, CommandId::Text);
    host->pump();
    check(view_mode(doc->view) == VIEW_MODE_TEXT, "the text view is shown");
    int32_t r = fonts.row_height;
    SendMessageW(list.window, WM_LBUTTONDOWN, 0, MAKELPARAM(200, 6 * r + r / 2));
    SendMessageW(list.window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 8 * r + r / 2));
    SendMessageW(list.window, WM_LBUTTONUP, 0, MAKELPARAM(200, 8 * r + r / 2));
    Capture dragged;
    capture(&dragged, "list-text-drag");
    check(band_covers(dragged, 6, 8) && !list.drag_selecting, "dragging over three lines bands them");
}

POINT menu_point;
uint32_t zoom_commands;

// Right click, the keyboard's context-menu point, type-ahead of a character
// beyond U+FFFF, a fast Ctrl+wheel and F3 through the list.
void check_input(TestHost* host) {
    std::string text = "{\"a\": 1, \"b\": 2, \"\xF0\x9F\x98\x80x\": 3, \"f\": [";
    for (int i = 0; i < 30; i++) text += (i ? ", " : "") + std::to_string(i);
    DocWindow* doc = host->open_text(text + "]}");
    show(doc, 6);
    list.context_menu = [](ListControl*, POINT screen) { menu_point = screen; };
    int32_t r = fonts.row_height;
    SendMessageW(list.window, WM_RBUTTONDOWN, 0, MAKELPARAM(100, 2 * r + 3));
    check(selected_row(doc->view) == 2, "a right click selects the row under the pointer");
    SendMessageW(list.window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list.window), -1);
    POINT below = {24, 3 * r};
    ClientToScreen(list.window, &below);
    check(menu_point.x == below.x && menu_point.y == below.y, "the keyboard's menu opens under the selected row");
    set_top_row(&list, 5);
    SendMessageW(list.window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list.window), -1);
    POINT corner = {24, 8};
    ClientToScreen(list.window, &corner);
    check(menu_point.x == corner.x && menu_point.y == corner.y,
          "with the selected row scrolled away it opens near the corner");

    key(VK_HOME);
    SendMessageW(list.window, WM_CHAR, 0xD83D, 0);
    SendMessageW(list.window, WM_CHAR, 0xDE00, 0);
    check(selected_row(doc->view) == 3, "type-ahead joins a surrogate pair");

    host->app.host.run_window_command = [](void*, DocWindow*, uint32_t id) {
        zoom_commands += id == CommandId::BiggerText;
    };
    SendMessageW(list.window, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, 3 * WHEEL_DELTA), 0);
    check(zoom_commands == 1, "a fast Ctrl+wheel zooms by one step");

    search_box_changed(doc, "2", 1);
    run_search_now(doc);
    host->pump();
    NodeId first_match = selected_node(doc->view);
    key(VK_F3);
    check(selected_node(doc->view) != first_match, "F3 in the list finds the next match");
}

// Rows nested deeper than a narrow window can indent: looked at, not measured.
void show_deep_rows(TestHost* host) {
    std::string text;
    for (int i = 0; i < 50; i++) text += "{\"k" + std::to_string(i) + "\": ";
    text += "1" + std::string(50, '}');
    DocWindow* doc = host->open_text(text);
    run_command(doc, CommandId::ExpandAll);
    show(doc, 8);
    key(VK_END);
    Capture deep;
    capture(&deep, "list-deep");
}

void check_chevrons(TestHost* host) {
    DocWindow* doc = host->open_text(R"({"a": {"b": 1}, "c": [1, 2], "d": {"e": {"f": {"g": {"h": {"i": 1}}}}}})");
    show(doc, 12);
    uint32_t rows = visible_row_count(doc->view);
    int32_t r = fonts.row_height;
    LPARAM on_chevron = MAKELPARAM(16 + 8, r + r / 2);  // row 1, depth 1
    LPARAM on_text = MAKELPARAM(200, r + r / 2);
    SendMessageW(list.window, WM_LBUTTONDBLCLK, 0, on_chevron);
    check(visible_row_count(doc->view) == rows - 1, "a double click on a chevron collapses once");
    SendMessageW(list.window, WM_LBUTTONDBLCLK, 0, on_text);
    check(visible_row_count(doc->view) == rows, "a double click on the text expands once");
    search_box_changed(doc, "1", 1);
    run_search_now(doc);
    host->pump();
    Capture tree;
    capture(&tree, "list-tree");
    uint32_t matches = 0;
    uint32_t current = 0;
    for (int32_t i = 0; tree.pixels && i < tree.width * tree.height; i++) {
        matches += tree.pixels[i] == palette_colour(Colour::Match);
        current += tree.pixels[i] == palette_colour(Colour::CurrentMatch);
    }
    check(matches > 0 && current > 0, "search matches are marked, the current one in its own colour");

    const ID2D1RenderTarget* target = list.slot.target;
    set_dark_palette(true);
    InvalidateRect(list.window, nullptr, FALSE);
    Capture dark;
    capture(&dark, "list-dark");
    check(dark.pixels && dark.at(dark.width / 2, dark.height - 4) == palette_colour(Colour::ViewBackground) &&
              palette_colour(Colour::ViewBackground) == 0x1D1F22,
          "the dark palette repaints the open list");
    check(list.slot.target == target, "without a new render target");
    set_dark_palette(false);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    screen_folder = argc > 1 ? argv[1] : nullptr;
    if (!init_drawing(running_on_wine()) || !register_list_class(GetModuleHandleW(nullptr))) {
        std::printf("FAIL: no drawing layer or list class\n");
        return 1;
    }
    WNDCLASSW frame_class = {};
    frame_class.lpfnWndProc = frame_procedure;
    frame_class.hInstance = GetModuleHandleW(nullptr);
    frame_class.lpszClassName = L"ListCheck.Frame";
    RegisterClassW(&frame_class);
    Fonts high = {};
    create_fonts(&high, 144, 10);
    check(high.em_size == 20 && high.row_height == static_cast<int32_t>(std::ceil(6 + high.line_height)),
          "at 144 DPI 10 points are 20 pixels and a row 6 more than a line");
    release_fonts(&high);
    create_fonts(&fonts, 96, 10);
    std::printf("code family %ls\n", code_font_family());
    {
        TestHost host;
        host.app.host.notify = forward_notice;
        host.app.settings.indent_guides = 1;
        check_text_drag(&host);
        check_input(&host);
        check_chevrons(&host);
        show_deep_rows(&host);
        DestroyWindow(frame);
    }
    release_fonts(&fonts);
    return failures == 0 ? 0 : 1;
}
