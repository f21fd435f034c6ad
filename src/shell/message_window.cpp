#include "shell/message_window.h"

#include "app/jobs.h"
#include "shell/process.h"
#include "shell/win32_host.h"

namespace {

const wchar_t MESSAGE_WINDOW_CLASS[] = L"Tarnwell.Msg";

void on_timer(HWND window, WPARAM id) {
    if (id == TIMER_SAVE_SETTINGS) {
        save_settings_now();
    } else if (id == TIMER_SCRIPT_STEP) {
        KillTimer(window, id);
        run_script_step();
    }
}

LRESULT CALLBACK message_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_TIMER: on_timer(window, wparam); return 0;
    case MSG_JOB_DONE: job_done(reinterpret_cast<Job*>(lparam)); return 0;
    case MSG_JOB_PROGRESS: job_progress(reinterpret_cast<Job*>(lparam), static_cast<uint32_t>(wparam)); return 0;
    case MSG_SCRIPT_STEP: run_script_step(); return 0;
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
