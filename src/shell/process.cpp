// Start-up and shutdown of the Windows program, around the portable sequence
// both hosts follow.
#include "shell/process.h"

#include <commctrl.h>
#include <knownfolders.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>

#include "app/doc_window.h"
#include "app/handoff.h"
#include "app/instance.h"
#include "base/memory.h"
#include "base/wide_text_win.h"
#include "shell/doc_frame.h"
#include "shell/message_loop.h"
#include "shell/message_window.h"
#include "shell/theme.h"
#include "shell/win32_host.h"
#include "ui/drawing.h"
#include "ui/list.h"

namespace {

constexpr int EXIT_START_FAILED = 1;
constexpr UINT HANDOFF_TIMEOUT_MS = 10000;
constexpr size_t SETTINGS_PATH_UNITS = 520;

Process the_process;

void free_arguments(char** arguments, int count) {
    for (int i = 0; arguments && i < count; i++) mem_free(arguments[i]);
    mem_free(arguments);
}

// The command line as UTF-8 arguments; an argument that cannot be converted
// becomes empty. nullptr when memory runs out, so that no argument is ever
// missing.
char** utf8_arguments(int* count) {
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), count);
    if (!wide) return nullptr;
    auto** arguments = static_cast<char**>(mem_alloc_zeroed((static_cast<size_t>(*count) + 1) * sizeof(char*)));
    for (int i = 0; arguments && i < *count; i++) {
        arguments[i] = utf16_to_utf8(wide[i], std::wcslen(wide[i]));
        if (!arguments[i]) arguments[i] = utf16_to_utf8(L"", 0);
        if (!arguments[i]) {
            free_arguments(arguments, *count);
            arguments = nullptr;
        }
    }
    LocalFree(wide);
    return arguments;
}

void init_common_controls() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);
}

// "settings.txt" in the folder "Tarnwell" of the roaming application-data
// folder, which is made when missing; nullptr when it cannot be had (nothing
// is then read or saved). A new string (mem_free).
char* default_settings_path() {
    wchar_t* roaming = nullptr;
    if (FAILED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &roaming))) return nullptr;
    wchar_t folder[SETTINGS_PATH_UNITS];
    bool fits = std::swprintf(folder, SETTINGS_PATH_UNITS, L"%ls\\Tarnwell", roaming) > 0;
    CoTaskMemFree(roaming);
    if (!fits) return nullptr;
    CreateDirectoryW(folder, nullptr);
    wchar_t path[SETTINGS_PATH_UNITS];
    if (std::swprintf(path, SETTINGS_PATH_UNITS, L"%ls\\settings.txt", folder) < 0) return nullptr;
    return utf16_to_utf8(path, std::wcslen(path));
}

// Hands the files to the instance that runs already. True when it took them:
// this process then ends; otherwise it opens them itself.
bool hand_off(const CommandLine& line) {
    HWND target = find_running_message_window();
    uint8_t* data = nullptr;
    uint32_t size = 0;
    if (!target || !build_handoff_for_files(file_io(), line.files, line.file_count, &data, &size)) return false;
    DWORD target_process = 0;
    GetWindowThreadProcessId(target, &target_process);
    // The files' windows come to the front only when the running instance may take the foreground.
    AllowSetForegroundWindow(target_process);
    COPYDATASTRUCT block{HANDOFF_MAGIC, size, size ? data : nullptr};
    DWORD_PTR reply = HANDOFF_REFUSED;
    LRESULT sent = SendMessageTimeoutW(target, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&block), SMTO_ABORTIFHUNG,
                                       HANDOFF_TIMEOUT_MS, &reply);
    mem_free(data);
    return sent != 0 && reply == HANDOFF_HANDLED;
}

// Takes the instance mutex; when another instance holds it, hands the files
// over. True when that instance took them and this process is to end. A
// process whose hand-off failed runs on without the mutex.
bool handed_to_running_instance(Process* state) {
    state->instance_mutex = CreateMutexW(nullptr, TRUE, L"Local\\Tarnwell.Instance");
    bool running_already = state->instance_mutex && GetLastError() == ERROR_ALREADY_EXISTS;
    // A script drives its own instance, whatever else runs.
    if (!running_already || state->program.line.test_script) return false;
    bool handed = hand_off(state->program.line);
    CloseHandle(state->instance_mutex);
    state->instance_mutex = nullptr;
    return handed;
}

// Why the program ends before its message loop (with the system's last error
// when there is one) on the standard error stream: a run under a test harness
// has no window to say it in, and its output file may be what failed.
void report_start_failure(const char* step) {
    DWORD error = GetLastError();
    HANDLE stream = GetStdHandle(STD_ERROR_HANDLE);
    if (!stream || stream == INVALID_HANDLE_VALUE) return;
    char line[160];
    int length = error ? std::snprintf(line, sizeof line, "tarnwell: %s failed (system error %lu)\n", step, error)
                       : std::snprintf(line, sizeof line, "tarnwell: %s failed\n", step);
    if (length <= 0) return;
    DWORD written = 0;
    (void)WriteFile(stream, line, static_cast<DWORD>(std::min<int>(length, sizeof line - 1)), &written, nullptr);
}

bool register_classes(HINSTANCE instance) {
    return register_message_window_class(instance) && register_doc_classes(instance) && register_list_class(instance);
}

// After begin_program: everything up to the end of the message loop. False
// when the program ends before its loop.
bool run_windows(Process* state) {
    Program* program = &state->program;
    AppHost table = win32_host_table();
    // A script names its settings file; the default place is not even looked up.
    char* default_path = program->line.test_script ? nullptr : default_settings_path();
    load_program_settings(program, &table, default_path);
    mem_free(default_path);
    init_theme(state->wine, program->app.settings.theme);
    if (!init_drawing(state->wine)) {
        MessageBoxW(nullptr, L"Direct2D and DirectWrite are not available on this computer.", L"Tarnwell",
                    MB_OK | MB_ICONERROR);
        return false;
    }
    if (!register_classes(state->instance)) {
        report_start_failure("registering the window classes");
        return false;
    }
    state->message_window = create_message_window(state->instance);
    state->accelerators = state->message_window ? create_accelerators() : nullptr;
    if (!state->accelerators) {
        report_start_failure(state->message_window ? "building the accelerators" : "creating the message window");
        return false;
    }
    if (!open_program_files(program)) {
        report_start_failure("creating the first window");
        return false;
    }
    if (program->app.script_mode && !program->script_started) report_start_failure("starting the script");
    if (program->script_started) PostMessageW(state->message_window, MSG_SCRIPT_STEP, 0, 0);
    // A script that could not start has already closed every window.
    if (program->app.windows) run_message_loop(state->accelerators);
    return true;
}

}  // namespace

Process* process() { return &the_process; }

int run_process(HINSTANCE instance) {
    Process* state = &the_process;
    state->instance = instance;
    state->wine = running_on_wine();
    int count = 0;
    char** arguments = utf8_arguments(&count);
    bool needs_settings = false;
    if (!arguments || !begin_program(&state->program, count, arguments, &needs_settings)) {
        free_arguments(arguments, count);
        return arguments ? state->program.exit_code : EXIT_START_FAILED;
    }
    if (handed_to_running_instance(state)) {
        mem_free(state->program.files);
        free_arguments(arguments, count);
        return 0;
    }
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    init_common_controls();
    bool ran = run_windows(state);
    int exit_code = end_program(&state->program);
    if (!ran && exit_code == 0) exit_code = EXIT_START_FAILED;
    if (state->accelerators) DestroyAcceleratorTable(state->accelerators);
    if (state->instance_mutex) CloseHandle(state->instance_mutex);
    if (SUCCEEDED(com)) CoUninitialize();
    free_arguments(arguments, count);
    return exit_code;
}
