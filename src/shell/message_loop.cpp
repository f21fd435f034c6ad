#include "shell/message_loop.h"

#include <cwchar>

#include "app/doc_window.h"
#include "app/edit_keys.h"
#include "app/key_bindings.h"
#include "shell/doc_frame.h"
#include "views/view_state.h"

namespace {

bool key_down(int key) { return (GetKeyState(key) & 0x8000) != 0; }

uint32_t modifiers_now() {
    return (key_down(VK_SHIFT) ? KeyModifier::Shift : 0) | (key_down(VK_MENU) ? KeyModifier::Alt : 0) |
           (key_down(VK_CONTROL) ? KeyModifier::Ctrl : 0);
}

bool is_edit_control(HWND window) {
    wchar_t name[8];
    return GetClassNameW(window, name, 8) && _wcsicmp(name, L"Edit") == 0;
}

bool edit_keeps(const MSG& message) {
    return message.message == WM_KEYDOWN && is_edit_control(message.hwnd) &&
           edit_control_keeps_key(static_cast<uint32_t>(message.wParam), modifiers_now());
}

}  // namespace

HACCEL create_accelerators() {
    Accelerator entries[ACCELERATOR_TABLE_SIZE];
    uint32_t count = build_accelerator_table(entries, ACCELERATOR_TABLE_SIZE);
    ACCEL table[ACCELERATOR_TABLE_SIZE];
    for (uint32_t i = 0; i < count; i++) {
        uint32_t modifiers = entries[i].modifiers;
        table[i].fVirt = static_cast<BYTE>(FVIRTKEY | (modifiers & KeyModifier::Shift ? FSHIFT : 0) |
                                           (modifiers & KeyModifier::Alt ? FALT : 0) |
                                           (modifiers & KeyModifier::Ctrl ? FCONTROL : 0));
        table[i].key = static_cast<WORD>(entries[i].key);
        table[i].cmd = static_cast<WORD>(entries[i].command_id);
    }
    return CreateAcceleratorTableW(table, static_cast<int>(count));
}

int run_message_loop(HACCEL accelerators) {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        bool key = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
        if (key && !edit_keeps(message)) {
            HWND window = doc_frame_handle(find_doc_window(message.hwnd));
            if (window && TranslateAcceleratorW(window, accelerators, &message)) continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
