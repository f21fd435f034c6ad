// Start-up and shutdown of the Windows program.
#include "shell/program.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>

#include "app/doc_window.h"
#include "app/open_file.h"
#include "base/memory.h"
#include "base/wide_text_win.h"
#include "script/command_line.h"
#include "shell/doc_frame.h"
#include "shell/message_loop.h"
#include "shell/message_window.h"
#include "shell/win32_host.h"
#include "ui/drawing.h"
#include "ui/list.h"

namespace {

constexpr int EXIT_START_FAILED = 1;

Program the_program;

// The command line as UTF-8 arguments; an argument that cannot be converted
// becomes empty. nullptr when memory runs out.
char** utf8_arguments(int* count) {
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), count);
    if (!wide) return nullptr;
    char** arguments = mem_alloc_array<char*>(static_cast<uint64_t>(*count) + 1);
    for (int i = 0; arguments && i < *count; i++) {
        arguments[i] = utf16_to_utf8(wide[i], std::wcslen(wide[i]));
        if (!arguments[i]) arguments[i] = utf16_to_utf8(L"", 0);
    }
    LocalFree(wide);
    return arguments;
}

void free_arguments(char** arguments, int count) {
    for (int i = 0; arguments && i < count; i++) mem_free(arguments[i]);
    mem_free(arguments);
}

int refuse_script_without_settings(const CommandLine& line) {
    if (line.test_out) {
        if (FILE* out = std::fopen(line.test_out, "wb")) {
            std::fputs(SCRIPT_NEEDS_SETTINGS, out);
            std::fclose(out);
        }
    }
    return SCRIPT_EXIT_FAILED;
}

void init_common_controls() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);
}

bool open_files(const CommandLine& line) {
    bool opened = false;
    for (uint32_t i = 0; i < line.file_count; i++) opened |= open_path(&the_program.app, nullptr, line.files[i]) != nullptr;
    return opened || create_doc_window(&the_program.app, true);
}

int run_with(const CommandLine& line) {
    Program* state = &the_program;
    state->app.script_mode = line.test_script ? 1 : 0;
    if (state->app.script_mode && !line.settings) return refuse_script_without_settings(line);
    if (state->app.script_mode) {
        state->app.read_delay_ms = line.slow_read_ms;
        state->app.test_ram = line.test_ram;
    }
    // The hand-off to a running instance comes later; the mutex already marks
    // the first instance.
    state->instance_mutex = CreateMutexW(nullptr, TRUE, L"Local\\Tarnwell.Instance");
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    init_common_controls();
    load_settings(&state->app.settings, &state->settings_path, line.settings, platform_settings_io());
    int exit_code = EXIT_START_FAILED;
    if (!init_drawing(state->wine)) {
        MessageBoxW(nullptr, L"Direct2D and DirectWrite are not available on this computer.", L"Tarnwell",
                    MB_OK | MB_ICONERROR);
    } else if (register_message_window_class(state->instance) && register_doc_classes(state->instance) &&
               register_list_class(state->instance) &&
               (state->message_window = create_message_window(state->instance)) &&
               (state->accelerators = create_accelerators())) {
        if (open_files(line) && state->app.script_mode) {
            const char* output = line.test_out ? line.test_out : DEFAULT_SCRIPT_OUTPUT;
            if (start_script(&state->script, &state->app, platform_settings_io(), line.test_script, output)) {
                PostMessageW(state->message_window, MSG_SCRIPT_STEP, 0, 0);
            }
        }
        exit_code = state->app.windows ? run_message_loop(state->accelerators) : state->exit_code;
        save_settings_now();
    }
    if (state->accelerators) DestroyAcceleratorTable(state->accelerators);
    release_script(&state->script);
    if (state->instance_mutex) CloseHandle(state->instance_mutex);
    if (SUCCEEDED(com)) CoUninitialize();
    return exit_code;
}

}  // namespace

Program* program() { return &the_program; }

int run_program(HINSTANCE instance) {
    the_program.instance = instance;
    the_program.wine = running_on_wine();
    AppHost table = win32_host_table();
    init_app(&the_program.app, &table);
    int count = 0;
    char** arguments = utf8_arguments(&count);
    const char** files = arguments ? mem_alloc_array<const char*>(static_cast<uint64_t>(count) + 1) : nullptr;
    if (!files) {
        free_arguments(arguments, count);
        return EXIT_START_FAILED;
    }
    CommandLine line;
    read_command_line(count, arguments, files, &line);
    int exit_code = run_with(line);
    mem_free(files);
    free_arguments(arguments, count);
    return exit_code;
}
