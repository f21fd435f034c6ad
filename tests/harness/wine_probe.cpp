// Checks the Wine harness itself: a window can be created on the virtual
// display, and the faces the program asks for resolve to installed fonts, with
// the monospaced ones monospaced. Wine reports a replaced face under the name
// that was asked for; an unmapped face falls back to some other family (often
// a proportional one), which is what this catches. The program's manifest is
// embedded here too: cue banners need the common controls 6 it asks for, and
// its other requests and the icon must be there. (Painting child windows
// through the drawing layer, and reading their colours back exactly, is what
// every screen case of the program checks.) Exit code 0 when all is well.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <string>

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

int wmain(int, wchar_t**) {
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
    return failures == 0 ? 0 : 1;
}
