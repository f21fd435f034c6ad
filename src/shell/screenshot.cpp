#include "shell/screenshot.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "base/bmp.h"
#include "base/memory.h"
#include "base/wide_text_win.h"
#include "shell/doc_frame.h"

namespace {

constexpr size_t SCREENSHOT_PATH_SIZE = 192;
// WriteFile takes at most this many bytes at a time.
constexpr uint64_t WRITE_PIECE = 0x40000000;

// The pixels of a screen rectangle, 0x00RRGGBB, top row first; nullptr when
// any step fails. Every handle is released on the way out.
uint32_t* capture_screen(const RECT& rect, int32_t width, int32_t height) {
    uint32_t* pixels = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = screen ? CreateCompatibleDC(screen) : nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = memory ? CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    HGDIOBJ previous = bitmap ? SelectObject(memory, bitmap) : nullptr;
    if (previous && BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY)) {
        GdiFlush();
        uint64_t count = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
        pixels = mem_alloc_array<uint32_t>(count);
        if (pixels) std::memcpy(pixels, bits, count * sizeof(uint32_t));
    }
    if (previous) SelectObject(memory, previous);
    if (bitmap) DeleteObject(bitmap);
    if (memory) DeleteDC(memory);
    if (screen) ReleaseDC(nullptr, screen);
    return pixels;
}

bool write_whole_file(const wchar_t* path, const uint8_t* bytes, uint64_t size) {
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool written = true;
    for (uint64_t done = 0; written && done < size;) {
        uint64_t left = size - done;
        DWORD piece = static_cast<DWORD>(left < WRITE_PIECE ? left : WRITE_PIECE);
        DWORD wrote = 0;
        written = WriteFile(file, bytes + done, piece, &wrote, nullptr) && wrote == piece;
        done += wrote;
    }
    written = CloseHandle(file) && written;
    if (!written) DeleteFileW(path);
    return written;
}

bool save_bmp(const char* name, const uint32_t* pixels, int32_t width, int32_t height, const BmpLayout& layout) {
    char path[SCREENSHOT_PATH_SIZE];
    int length = std::snprintf(path, sizeof path, "build/screens/win-%s.bmp", name);
    if (length < 0 || static_cast<size_t>(length) >= sizeof path) return false;
    wchar_t* wide = utf8_to_utf16(path, static_cast<uint64_t>(length));
    uint8_t* file = mem_alloc_array<uint8_t>(layout.file_size);
    bool saved = false;
    if (wide && file) {
        write_bmp(pixels, width, height, layout, file);
        CreateDirectoryW(L"build", nullptr);
        CreateDirectoryW(L"build\\screens", nullptr);
        saved = write_whole_file(wide, file, layout.file_size);
    }
    mem_free(file);
    mem_free(wide);
    return saved;
}

}  // namespace

void raise_window(void*, DocWindow* window) {
    HWND handle = doc_frame_handle(window);
    SetWindowPos(handle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    RedrawWindow(handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

bool capture_window(void*, DocWindow* window, const char* name) {
    HWND handle = doc_frame_handle(window);
    RECT rect;
    if (!handle || !GetWindowRect(handle, &rect)) return false;
    RedrawWindow(handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    int32_t width = rect.right - rect.left;
    int32_t height = rect.bottom - rect.top;
    BmpLayout layout;
    if (!bmp_layout(width, height, &layout)) return false;
    uint32_t* pixels = capture_screen(rect, width, height);
    bool saved = pixels && save_bmp(name, pixels, width, height, layout);
    mem_free(pixels);
    return saved;
}

void resize_window(void*, DocWindow* window, uint32_t width, uint32_t height) {
    int w = width > INT32_MAX ? INT32_MAX : static_cast<int>(width);
    int h = height > INT32_MAX ? INT32_MAX : static_cast<int>(height);
    SetWindowPos(doc_frame_handle(window), nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
