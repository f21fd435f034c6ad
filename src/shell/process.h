// The Windows program's process-wide state, owned by the user-interface
// thread: the portable Program (the App with its Settings, windows and
// running Jobs, and the script), the hidden message window, the instance
// mutex and the accelerator table.
#pragma once

#include <windows.h>

#include "app/program.h"

// Messages of the message window ("Tarnwell.Msg"); lParam is the Job.
constexpr UINT MSG_JOB_DONE = WM_APP + 1;
constexpr UINT MSG_JOB_PROGRESS = WM_APP + 2;  // wParam: per mille
constexpr UINT MSG_SCRIPT_STEP = WM_APP + 3;

// Timers of the message window.
constexpr UINT_PTR TIMER_SAVE_SETTINGS = 3;
constexpr UINT_PTR TIMER_SCRIPT_STEP = 4;
constexpr UINT SAVE_SETTINGS_DELAY_MS = 1000;

struct Process {
    HINSTANCE instance;
    bool wine;  // ntdll.dll exports "wine_get_version": drawing goes through DC render targets
    HWND message_window;
    HANDLE instance_mutex;
    HACCEL accelerators;
    Program program;
};

Process* process();

// The whole life of the process: start-up, the message loop, shutdown.
int run_process(HINSTANCE instance);
