#include "shell/dialogs.h"

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <cstring>
#include <cwchar>

#include "app/doc_window.h"
#include "app/open_file.h"
#include "base/memory.h"
#include "base/wide_text_win.h"
#include "shell/doc_frame.h"
#include "shell/process.h"

namespace {

const wchar_t TITLE[] = L"Tarnwell";
constexpr int ASK_YES = 1;
constexpr int ASK_CANCEL = 2;
constexpr DWORD OPEN_BUFFER_UNITS = 32768;
constexpr size_t OPENED_PATH_UNITS = 1040;

using TaskDialogIndirectFunction = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);

// Only version 6 of the common controls has task dialogs; the program's
// manifest asks for it, and without it the message boxes stand in.
TaskDialogIndirectFunction task_dialog() {
    HMODULE controls = GetModuleHandleW(L"comctl32.dll");
    if (!controls) return nullptr;
    return reinterpret_cast<TaskDialogIndirectFunction>(
        reinterpret_cast<void*>(GetProcAddress(controls, "TaskDialogIndirect")));
}

HWND owner_handle(DocWindow* owner) {
    return owner && is_open_window(&process()->program.app, owner) ? doc_frame_handle(owner) : nullptr;
}

TASKDIALOGCONFIG dialog_config(HWND owner, const wchar_t* content) {
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof config;
    config.hwndParent = owner;
    config.hInstance = process()->instance;
    config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION | TDF_POSITION_RELATIVE_TO_WINDOW;
    config.pszWindowTitle = TITLE;
    config.pszContent = content;
    return config;
}

// A text that cannot be converted is shown as nothing rather than not at all.
wchar_t* wide_or_empty(const char* text) { return utf8_to_utf16(text, std::strlen(text)); }

}  // namespace

void write_script_line(void*, const char* key, const char* text) { script_message(&process()->program.script, key, text); }

void show_message(void* context, DocWindow* owner, const char* key, const char* text, const char* detail) {
    Process* state = process();
    if (state->program.app.script_mode) {
        write_script_line(context, key, text);
        return;
    }
    wchar_t* content = wide_or_empty(detail ? detail : text);
    const wchar_t* shown = content ? content : L"";
    HWND parent = owner_handle(owner);
    TASKDIALOGCONFIG config = dialog_config(parent, shown);
    config.dwCommonButtons = TDCBF_OK_BUTTON;
    TaskDialogIndirectFunction dialog = task_dialog();
    if (!dialog || FAILED(dialog(&config, nullptr, nullptr, nullptr))) {
        MessageBoxW(parent, shown, TITLE, MB_OK | MB_ICONWARNING);
    }
    mem_free(content);
}

bool ask(void*, DocWindow* owner, const char* question, const char* button) {
    Process* state = process();
    if (state->program.app.script_mode) return script_answer(&state->program.script, question, button);
    wchar_t* content = wide_or_empty(question);
    wchar_t* label = wide_or_empty(button);
    HWND parent = owner_handle(owner);
    TASKDIALOG_BUTTON buttons[2] = {{ASK_YES, label ? label : L"OK"}, {ASK_CANCEL, L"Cancel"}};
    TASKDIALOGCONFIG config = dialog_config(parent, content ? content : L"");
    config.cButtons = 2;
    config.pButtons = buttons;
    config.nDefaultButton = ASK_YES;
    int chosen = 0;
    bool yes;
    TaskDialogIndirectFunction dialog = task_dialog();
    if (dialog && SUCCEEDED(dialog(&config, &chosen, nullptr, nullptr))) {
        yes = chosen == ASK_YES;
    } else {
        yes = MessageBoxW(parent, content ? content : L"", TITLE, MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
    }
    mem_free(content);
    mem_free(label);
    return yes;
}

namespace {

// Opens one chosen file; a name that cannot be converted is skipped.
DocWindow* open_chosen(DocWindow* window, const wchar_t* path) {
    char* utf8 = utf16_to_utf8(path, std::wcslen(path));
    if (!utf8) return nullptr;
    DocWindow* shown = open_path(&process()->program.app, window, utf8);
    mem_free(utf8);
    return shown;
}

}  // namespace

void show_open_dialog(DocWindow* window) {
    wchar_t* names = mem_alloc_array<wchar_t>(OPEN_BUFFER_UNITS);
    if (!names) return;
    names[0] = 0;
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = doc_frame_handle(window);
    dialog.lpstrFilter =
        L"JSON files (*.json, *.jsonl, *.ndjson, *.jsonc, *.json5, *.geojson)\0"
        L"*.json;*.jsonl;*.ndjson;*.jsonc;*.json5;*.geojson\0All files (*.*)\0*.*\0";
    dialog.lpstrFile = names;
    dialog.nMaxFile = OPEN_BUFFER_UNITS;
    dialog.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (GetOpenFileNameW(&dialog)) {
        // Several files come as the folder, then each name, each ending with a
        // NUL, and one more NUL at the end.
        const wchar_t* folder = names;
        const wchar_t* name = folder + std::wcslen(folder) + 1;
        if (!*name) {
            open_chosen(window, folder);
        } else {
            // The dialog's message loop may have closed the window meanwhile.
            DocWindow* first = is_open_window(&process()->program.app, window) ? window : nullptr;
            for (; *name; name += std::wcslen(name) + 1) {
                wchar_t path[OPENED_PATH_UNITS];
                if (std::swprintf(path, OPENED_PATH_UNITS, L"%ls\\%ls", folder, name) < 0) continue;
                open_chosen(first, path);
                first = nullptr;
            }
        }
    }
    mem_free(names);
}
