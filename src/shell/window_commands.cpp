#include "shell/window_commands.h"

#include <windows.h>

#include "app/app.h"
#include "app/commands.h"
#include "app/doc_window.h"
#include "app/zoom.h"
#include "shell/dialogs.h"
#include "shell/doc_frame.h"
#include "shell/process.h"

namespace {

// Every window takes the new fonts and keeps its selected row in view.
void change_text_size(App* app, uint32_t id) {
    int32_t step = id == CommandId::BiggerText ? 1 : id == CommandId::SmallerText ? -1 : 0;
    zoom_font_size(&app->settings, step);
    save_settings_later(app);
    for (DocWindow* window = app->windows; window; window = window->next) {
        ShellWindow* shell = shell_of(window);
        rebuild_fonts(shell);
        layout_doc_window(shell);
        RedrawWindow(shell->window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
}

// Every window gets WM_CLOSE; each closes as if the user had closed it.
void exit_program(App* app) {
    for (DocWindow* window = app->windows; window; window = window->next) {
        PostMessageW(doc_frame_handle(window), WM_CLOSE, 0, 0);
    }
}

}  // namespace

void run_window_command(void*, DocWindow* window, uint32_t command_id) {
    App* app = &process()->program.app;
    switch (command_id) {
    // A modal dialog would keep running script steps and could outlive the
    // window that owns it, so scripts never see one.
    case CommandId::Open:
        if (!app->script_mode) show_open_dialog(window);
        return;
    case CommandId::Close: close_doc_window(window); return;
    case CommandId::Exit: exit_program(app); return;
    case CommandId::BiggerText:
    case CommandId::SmallerText:
    case CommandId::ActualSize: change_text_size(app, command_id); return;
    case CommandId::GoToPath: open_goto_box(shell_of(window)); return;
    default: return;
    }
}
