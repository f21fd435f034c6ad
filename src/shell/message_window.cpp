#include "shell/message_window.h"

#include "app/instance.h"
#include "app/jobs.h"
#include "shell/process.h"
#include "shell/win32_host.h"

namespace {

const wchar_t MESSAGE_WINDOW_CLASS[] = L"Tarnwell.Msg";
constexpr uint32_t FIND_TRIES = 200;
constexpr DWORD FIND_RETRY_MS = 15;

void on_timer(HWND window, WPARAM id) {
    if (id == TIMER_SAVE_SETTINGS) {
        save_settings_now();
    } else if (id == TIMER_SCRIPT_STEP) {
        KillTimer(window, id);
        run_script_step();
    }
}

LRESULT on_copy_data(const COPYDATASTRUCT* data) {
    if (!data) return HANDOFF_REFUSED;
    return receive_handoff(&process()->program.app, data->dwData, data->lpData, data->cbData);
}

LRESULT CALLBACK message_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_TIMER: on_timer(window, wparam); return 0;
    case MSG_JOB_DONE: job_done(reinterpret_cast<Job*>(lparam)); return 0;
    case MSG_JOB_PROGRESS: job_progress(reinterpret_cast<Job*>(lparam), static_cast<uint32_t>(wparam)); return 0;
    case MSG_SCRIPT_STEP: run_script_step(); return 0;
    case WM_COPYDATA: return on_copy_data(reinterpret_cast<const COPYDATASTRUCT*>(lparam));
    default: return DefWindowProcW(window, message, wparam, lparam);
    }
}

}  // namespace

bool register_message_window_class(HINSTANCE instance) {
    WNDCLASSEXW messages{};
    messages.cbSize = sizeof messages;
    messages.lpfnWndProc = message_window_proc;
    messages.hInstance = instance;
    messages.lpszClassName = MESSAGE_WINDOW_CLASS;
    return RegisterClassExW(&messages) != 0;
}

HWND create_message_window(HINSTANCE instance) {
    return CreateWindowExW(0, MESSAGE_WINDOW_CLASS, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
}

HWND find_running_message_window() {
    for (uint32_t i = 0; i < FIND_TRIES; i++) {
        if (HWND found = FindWindowExW(HWND_MESSAGE, nullptr, MESSAGE_WINDOW_CLASS, nullptr)) return found;
        Sleep(FIND_RETRY_MS);
    }
    return nullptr;
}
