#include "shell/dpi.h"

namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);

// Looked up, as systems before Windows 10 1607 do not have it.
GetDpiForWindowFunction dpi_for_window() {
    static GetDpiForWindowFunction function = reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    return function;
}

uint32_t system_dpi() {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<uint32_t>(dpi) : BASE_DPI;
}

}  // namespace

uint32_t window_dpi(HWND window) {
    GetDpiForWindowFunction function = dpi_for_window();
    UINT dpi = window && function ? function(window) : 0;
    return dpi ? dpi : system_dpi();
}
