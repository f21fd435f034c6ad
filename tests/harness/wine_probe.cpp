// Checks the Wine harness itself: a window can be created on the virtual
// display, and the faces the program asks for resolve to installed fonts, with
// the monospaced ones monospaced. Wine reports a replaced face under the name
// that was asked for; an unmapped face falls back to some other family (often
// a proportional one), which is what this catches. The program's manifest is
// embedded here too: cue banners need the common controls 6 it asks for, and
// its other requests and the icon must be there. Then the drawing layer
// paints a child window (through a DC render target under Wine), and a capture
// from the screen must read its palette colours back exactly. Exit code 0
// when all is well.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "base/memory.h"
#include "ui/drawing.h"
#include "ui/screen_capture.h"
#include "views/palette.h"

namespace {

struct FaceExpectation {
    const wchar_t* face;
    bool monospaced;
};

// Fills family with the family of the font GDI actually chose for face.
bool resolve_face(HDC dc, const wchar_t* face, wchar_t* family, size_t family_size, bool* monospaced) {
    HFONT font = CreateFontW(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face);
    if (!font) return false;
    HGDIOBJ old = SelectObject(dc, font);
    bool ok = false;
    UINT size = GetOutlineTextMetricsW(dc, 0, nullptr);
    if (size > 0) {
        auto* metrics = static_cast<OUTLINETEXTMETRICW*>(HeapAlloc(GetProcessHeap(), 0, size));
        if (metrics && GetOutlineTextMetricsW(dc, size, metrics)) {
            auto* name = reinterpret_cast<const wchar_t*>(
                reinterpret_cast<const char*>(metrics) + reinterpret_cast<uintptr_t>(metrics->otmpFamilyName));
            swprintf(family, family_size, L"%ls", name);
            // The flag's name is historical: set means variable pitch.
            *monospaced = (metrics->otmTextMetrics.tmPitchAndFamily & TMPF_FIXED_PITCH) == 0;
            ok = true;
        }
        if (metrics) HeapFree(GetProcessHeap(), 0, metrics);
    }
    SelectObject(dc, old);
    DeleteObject(font);
    return ok;
}

RenderSlot child_slot;
Fonts probe_fonts;

// Selection colour everywhere, an accent square at (10, 10)-(30, 30) and a
// line of text from x = 40.
LRESULT CALLBACK child_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != WM_PAINT) return DefWindowProcW(window, message, wparam, lparam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (begin_paint(&child_slot, window, dc)) {
        clear(&child_slot, Colour::Selection);
        fill_rect(&child_slot, 10, 10, 30, 30, Colour::Accent);
        draw_text_box(&child_slot, probe_fonts.code, nullptr, L"WWWW", 4, 40, 10, 110, 30, Colour::Text, Align::Left);
        end_paint(&child_slot, window);
    }
    EndPaint(window, &paint);
    return 0;
}

void pump_messages(DWORD milliseconds) {
    DWORD start = GetTickCount();
    MSG message;
    while (GetTickCount() - start < milliseconds) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(10);
    }
}

// Paints a child window through the drawing layer and reads it back from the
// screen; the number of failures.
int check_child_painting(const wchar_t* screenshot) {
    bool wine = running_on_wine();
    if (!init_drawing(wine)) {
        std::printf("FAIL: Direct2D or DirectWrite is missing\n");
        return 1;
    }
    create_fonts(&probe_fonts, 96, 10);
    WNDCLASSW child_class = {};
    child_class.lpfnWndProc = child_procedure;
    child_class.hInstance = GetModuleHandleW(nullptr);
    child_class.lpszClassName = L"Probe.Child";
    RegisterClassW(&child_class);
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 40, 40, 200, 120, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    HWND child = CreateWindowExW(0, L"Probe.Child", L"", WS_CHILD | WS_VISIBLE, 20, 20, 160, 80, parent, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    pump_messages(300);
    int32_t width = 0;
    int32_t height = 0;
    uint32_t* pixels = child ? capture_window(child, &width, &height) : nullptr;
    int failures = 0;
    if (!pixels || width != 160 || height != 80) {
        std::printf("FAIL: no capture of the child window\n");
        failures++;
    } else {
        struct Probe {
            int x, y;
            uint32_t colour;
        } probes[] = {{2, 2, Colour::Selection}, {150, 70, Colour::Selection}, {10, 10, Colour::Accent},
                      {29, 29, Colour::Accent}, {30, 30, Colour::Selection}};
        for (const Probe& probe : probes) {
            uint32_t seen = pixels[probe.y * width + probe.x];
            bool ok = seen == palette_colour(probe.colour);
            std::printf("%s: %s render target, pixel (%d, %d) #%06X, palette colour %u #%06X\n", ok ? "ok" : "FAIL",
                        wine ? "DC" : "window", probe.x, probe.y, seen, probe.colour, palette_colour(probe.colour));
            if (!ok) failures++;
        }
        // Text is smoothed, so count what differs from the background.
        uint32_t text_pixels = 0;
        for (int y = 10; y < 40; y++)
            for (int x = 40; x < 150; x++) text_pixels += pixels[y * width + x] != palette_colour(Colour::Selection);
        std::printf("%s: %u pixels of text where the text is drawn\n", text_pixels > 20 ? "ok" : "FAIL",
                    text_pixels);
        if (text_pixels <= 20) failures++;
    }
    mem_free(pixels);
    if (screenshot && !save_window_bmp(parent, screenshot)) {
        std::printf("FAIL: no screenshot written\n");
        failures++;
    }
    release_slot(&child_slot);
    release_fonts(&probe_fonts);
    DestroyWindow(parent);
    return failures;
}

// The number of failures.
int check_manifest() {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, GetModuleHandleW(nullptr),
                                nullptr);
    bool cue = edit && SendMessageW(edit, EM_SETCUEBANNER, FALSE, reinterpret_cast<LPARAM>(L"cue"));
    if (edit) DestroyWindow(edit);
    std::printf("%s: cue banner (common controls 6)\n", cue ? "ok" : "FAIL");
    // Wine makes every thread per-monitor DPI aware, so the manifest's own
    // words are checked instead, with the icon beside it.
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(self, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    HGLOBAL loaded = found ? LoadResource(self, found) : nullptr;
    const char* manifest = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    std::string text = manifest ? std::string(manifest, SizeofResource(self, found)) : std::string();
    bool declared = text.find("PerMonitorV2") != std::string::npos && text.find("asInvoker") != std::string::npos &&
                    text.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}") != std::string::npos;
    std::printf("%s: the manifest asks for per-monitor DPI v2, Windows 10 and no elevation\n", declared ? "ok" : "FAIL");
    bool icon = LoadIconW(self, MAKEINTRESOURCEW(1)) != nullptr;
    std::printf("%s: icon resource 1\n", icon ? "ok" : "FAIL");
    return !cue + !declared + !icon;
}

}  // namespace

// With an argument, the painted window is also saved there as a BMP file.
int wmain(int argc, wchar_t** argv) {
    int failures = 0;
    HWND window = CreateWindowExW(0, L"STATIC", L"probe", WS_OVERLAPPEDWINDOW, 0, 0, 320, 200,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window) {
        std::printf("FAIL: no window (is there a display?)\n");
        return 1;
    }
    HDC dc = GetDC(window);
    const FaceExpectation faces[] = {{L"Consolas", true}, {L"Cascadia Mono", true}, {L"Segoe UI", false}};
    for (const FaceExpectation& expected : faces) {
        wchar_t family[LF_FACESIZE * 2] = {};
        bool monospaced = false;
        bool resolved = resolve_face(dc, expected.face, family, sizeof family / sizeof family[0], &monospaced);
        bool ok = resolved && std::wcscmp(family, expected.face) == 0 && monospaced == expected.monospaced;
        std::printf("%s: %ls -> %ls%s\n", ok ? "ok" : "FAIL", expected.face, resolved ? family : L"(nothing)",
                    monospaced ? " (monospaced)" : "");
        if (!ok) failures++;
    }
    ReleaseDC(window, dc);
    DestroyWindow(window);
    failures += check_manifest();
    failures += check_child_painting(argc > 1 ? argv[1] : nullptr);
    return failures == 0 ? 0 : 1;
}
