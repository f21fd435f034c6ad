#include "shell/theme.h"

#include <dwmapi.h>
#include <uxtheme.h>

#include <cwchar>

#include "app/app.h"
#include "app/doc_window.h"
#include "app/theme.h"
#include "files/settings.h"
#include "shell/doc_frame.h"
#include "shell/process.h"
#include "ui/drawing.h"

namespace {

// Entry points of uxtheme.dll known only by ordinal, on builds after 17762.
using SetPreferredAppMode = int(WINAPI*)(int mode);                 // ordinal 135
using AllowDarkModeForWindow = BOOL(WINAPI*)(HWND window, BOOL allow);  // ordinal 133
using FlushMenuThemes = void(WINAPI*)();                                // ordinal 136

constexpr DWORD DARK_MODE_BUILD_AFTER = 17762;
constexpr DWORD DWM_DARK_TITLE = 20;
constexpr DWORD DWM_DARK_TITLE_BEFORE_20H1 = 19;

struct ThemeState {
    SetPreferredAppMode set_preferred_app_mode;
    AllowDarkModeForWindow allow_dark_mode_for_window;
    FlushMenuThemes flush_menu_themes;
    bool evaluated;
    bool dark;
};

ThemeState theme;

DWORD windows_build() {
    using GetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    auto get_version = ntdll ? reinterpret_cast<GetVersion>(
                                   reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                             : nullptr;
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!get_version || get_version(&version) != 0) return 0;
    return version.dwBuildNumber;
}

template <typename Function>
Function by_ordinal(HMODULE module, WORD ordinal) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(ordinal))));
}

bool system_apps_use_light(DWORD* value) {
    DWORD size = sizeof *value;
    return RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
                        L"AppsUseLightTheme", RRF_RT_REG_DWORD, nullptr, value, &size) == ERROR_SUCCESS;
}

}  // namespace

void init_theme(bool on_wine, int32_t setting) {
    if (!on_wine && windows_build() > DARK_MODE_BUILD_AFTER) {
        if (HMODULE uxtheme = LoadLibraryExW(L"uxtheme.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
            theme.set_preferred_app_mode = by_ordinal<SetPreferredAppMode>(uxtheme, 135);
            theme.allow_dark_mode_for_window = by_ordinal<AllowDarkModeForWindow>(uxtheme, 133);
            theme.flush_menu_themes = by_ordinal<FlushMenuThemes>(uxtheme, 136);
        }
    }
    evaluate_theme(setting);
}

bool evaluate_theme(int32_t setting) {
    DWORD light = 1;
    bool read = setting != THEME_DARK && setting != THEME_LIGHT && system_apps_use_light(&light);
    bool dark = theme_is_dark(setting, read, light);
    bool changed = !theme.evaluated || dark != theme.dark;
    theme.evaluated = true;
    theme.dark = dark;
    if (theme.set_preferred_app_mode) theme.set_preferred_app_mode(static_cast<int>(preferred_app_mode(setting)));
    if (theme.flush_menu_themes) theme.flush_menu_themes();
    if (changed) set_dark_palette(dark);
    return changed;
}

void apply_title_bar(HWND window) {
    if (theme.allow_dark_mode_for_window) theme.allow_dark_mode_for_window(window, theme.dark);
    BOOL dark = theme.dark;
    if (FAILED(DwmSetWindowAttribute(window, DWM_DARK_TITLE, &dark, sizeof dark)))
        (void)DwmSetWindowAttribute(window, DWM_DARK_TITLE_BEFORE_20H1, &dark, sizeof dark);
}

void apply_control_theme(HWND window) {
    if (theme.allow_dark_mode_for_window) theme.allow_dark_mode_for_window(window, theme.dark);
    (void)SetWindowTheme(window, theme.dark ? L"DarkMode_Explorer" : L"Explorer", nullptr);
}

void on_setting_change(const wchar_t* text) {
    if (!text || std::wcscmp(text, L"ImmersiveColorSet") != 0) return;
    App* app = &process()->program.app;
    if (!evaluate_theme(app->settings.theme)) return;
    for (DocWindow* doc = app->windows; doc; doc = doc->next) {
        ShellWindow* shell = shell_of(doc);
        if (!shell) continue;
        apply_title_bar(shell->window);
        apply_control_theme(shell->list.window);
        apply_control_theme(shell->inspector);
        RedrawWindow(shell->window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
}
