#include "shell/screenshot.h"

#include <windows.h>

#include <cstdio>

#include "base/memory.h"
#include "base/wide_text_win.h"
#include "shell/doc_frame.h"
#include "ui/drawing.h"
#include "ui/screen_capture.h"

namespace {

constexpr size_t SCREENSHOT_PATH_SIZE = 192;

}  // namespace

void raise_window(void*, DocWindow* window) {
    HWND handle = doc_frame_handle(window);
    SetWindowPos(handle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    RedrawWindow(handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

bool screenshot_window(void*, DocWindow* window, const char* name) {
    char path[SCREENSHOT_PATH_SIZE];
    int length = std::snprintf(path, sizeof path, "build/screens/win-%s.bmp", name);
    if (length < 0 || static_cast<size_t>(length) >= sizeof path) return false;
    wchar_t* wide = utf8_to_utf16(path, static_cast<uint64_t>(length));
    if (!wide) return false;
    CreateDirectoryW(L"build", nullptr);
    CreateDirectoryW(L"build\\screens", nullptr);
    bool saved = save_window_bmp(doc_frame_handle(window), wide);
    mem_free(wide);
    return saved;
}

void resize_window(void*, DocWindow* window, uint32_t width, uint32_t height) {
    int w = width > INT32_MAX ? INT32_MAX : static_cast<int>(width);
    int h = height > INT32_MAX ? INT32_MAX : static_cast<int>(height);
    SetWindowPos(doc_frame_handle(window), nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void lose_device(void*) { inject_device_loss(); }
