#include "shell/win32_host.h"

#include <windows.h>

#include "app/doc_window.h"
#include "shell/dialogs.h"
#include "shell/doc_frame.h"
#include "shell/job_threads.h"
#include "shell/menus.h"
#include "shell/process.h"
#include "shell/screenshot.h"
#include "shell/system_clipboard.h"
#include "shell/top_bar.h"
#include "shell/window_commands.h"

namespace {

// The settings are saved at once, and the mutex let go, so that a program
// started right after this one ends becomes the first instance.
void all_windows_closed(void*) {
    Process* state = process();
    save_settings_now();
    if (state->instance_mutex) CloseHandle(state->instance_mutex);
    state->instance_mutex = nullptr;
    // Closing the last window ends a script still running, which then ends well.
    if (state->program.app.script_mode) end_script(&state->program.script, SCRIPT_EXIT_OK);
    PostQuitMessage(0);
}

void document_installed(void*, DocWindow* window) {
    script_document_installed(&process()->program.script, window);
    watch_shown_file(window);
}

uint32_t list_top_row(void*, DocWindow* window) {
    ShellWindow* shell = shell_of(window);
    return shell ? shell->list.top_row : 0;
}

void schedule_settings_save(void*) {
    SetTimer(process()->message_window, TIMER_SAVE_SETTINGS, SAVE_SETTINGS_DELAY_MS, nullptr);
}

}  // namespace

// In the order of AppHost's fields.
AppHost win32_host_table() {
    return AppHost{.context = nullptr,
                   .platform = file_io(),
                   .set_clipboard_text = set_clipboard_text,
                   .get_clipboard_text = get_clipboard_text,
                   .show_message = show_message,
                   .ask = ask,
                   .write_script_line = write_script_line,
                   .start_job_thread = start_job_thread,
                   .wait_job_thread = wait_job_thread,
                   .release_job_thread = release_job_thread,
                   .post_job_progress = post_job_progress,
                   .post_job_done = post_job_done,
                   .start_timer = start_doc_timer,
                   .stop_timer = stop_doc_timer,
                   .notify = doc_frame_notify,
                   .list_top_row = list_top_row,
                   .create_window = create_doc_frame,
                   .destroy_window = destroy_doc_frame,
                   .all_windows_closed = all_windows_closed,
                   .document_installed = document_installed,
                   .run_window_command = run_window_command,
                   .enter_go_to_path = enter_goto_path,
                   .schedule_settings_save = schedule_settings_save,
                   .raise_window = raise_window,
                   .capture_window = screenshot_window,
                   .resize_window = resize_window,
                   .lose_device = lose_device,
                   .dump_menu = dump_real_menu};
}

void save_settings_now() {
    Process* state = process();
    KillTimer(state->message_window, TIMER_SAVE_SETTINGS);
    // A file that cannot be written is not reported; the next save tries again.
    (void)save_settings(&state->program.app.settings, &state->program.settings_path, file_io());
}

void run_script_step() {
    Process* state = process();
    if (!state->program.app.script_mode) return;
    Script* script = &state->program.script;
    switch (script_step(script)) {
    case ScriptPause::None: PostMessageW(state->message_window, MSG_SCRIPT_STEP, 0, 0); return;
    case ScriptPause::UntilIdle: SetTimer(state->message_window, TIMER_SCRIPT_STEP, SCRIPT_RETRY_MS, nullptr); return;
    case ScriptPause::ForTime:
        SetTimer(state->message_window, TIMER_SCRIPT_STEP, script->pause_ms, nullptr);
        return;
    case ScriptPause::Finished: return;
    }
}
