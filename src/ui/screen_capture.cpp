#include "ui/screen_capture.h"

#include <cstring>

#include "base/bmp.h"
#include "base/memory.h"

namespace {

// Copies a screen rectangle through a 32-bit top-down DIB section.
[[nodiscard]] bool copy_screen(const RECT& area, uint32_t* pixels) {
    int32_t width = area.right - area.left;
    int32_t height = area.bottom - area.top;
    HDC screen = GetDC(nullptr);
    if (!screen) return false;
    bool copied = false;
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = memory ? CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    if (bitmap && bits) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        if (BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY)) {
            GdiFlush();
            std::memcpy(pixels, bits, static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
            copied = true;
        }
        SelectObject(memory, old);
    }
    if (bitmap) DeleteObject(bitmap);
    if (memory) DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return copied;
}

}  // namespace

uint32_t* capture_window(HWND window, int32_t* width, int32_t* height) {
    RECT area = {};
    if (!IsWindow(window) || !GetWindowRect(window, &area)) return nullptr;
    int32_t w = area.right - area.left;
    int32_t h = area.bottom - area.top;
    if (w <= 0 || h <= 0) return nullptr;
    // Only what is pending is painted: a repaint of everything here would
    // hide a window that fails to paint itself again.
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    uint32_t* pixels = mem_alloc_array<uint32_t>(static_cast<uint64_t>(w) * static_cast<uint64_t>(h));
    if (!pixels) return nullptr;
    if (!copy_screen(area, pixels)) {
        mem_free(pixels);
        return nullptr;
    }
    for (uint64_t i = 0, n = static_cast<uint64_t>(w) * static_cast<uint64_t>(h); i < n; i++) pixels[i] &= 0xFFFFFF;
    *width = w;
    *height = h;
    return pixels;
}

bool save_window_bmp(HWND window, const wchar_t* path) {
    int32_t width = 0;
    int32_t height = 0;
    uint32_t* pixels = capture_window(window, &width, &height);
    if (!pixels) return false;
    BmpLayout layout;
    uint8_t* file = bmp_layout(width, height, &layout) ? mem_alloc_array<uint8_t>(layout.file_size) : nullptr;
    bool saved = false;
    if (file) {
        write_bmp(pixels, width, height, layout, file);
        HANDLE out = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (out != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            saved = WriteFile(out, file, static_cast<DWORD>(layout.file_size), &written, nullptr) &&
                    written == layout.file_size;
            saved = CloseHandle(out) && saved;
            if (!saved) DeleteFileW(path);
        }
    }
    mem_free(file);
    mem_free(pixels);
    return saved;
}
