#include "shell/window_commands.h"

#include <windows.h>

#include "app/app.h"
#include "app/commands.h"
#include "app/doc_window.h"
#include "files/settings.h"
#include "shell/dialogs.h"
#include "shell/doc_frame.h"
#include "shell/program.h"

namespace {

// Bigger and smaller go from the size in effect, within the allowed range;
// 0 stands for the default size.
void change_text_size(App* app, uint32_t index) {
    int32_t size = font_size_or_default(&app->settings);
    if (index == CommandIndex::BiggerText) size = size < FONT_SIZE_MAX ? size + 1 : FONT_SIZE_MAX;
    else if (index == CommandIndex::SmallerText) size = size > FONT_SIZE_MIN ? size - 1 : FONT_SIZE_MIN;
    else size = 0;
    app->settings.font_size = size;
    save_settings_later(app);
    notify_every_window(app, Notice::Layout | Notice::List | Notice::Everything);
}

// Every window gets WM_CLOSE; each closes as if the user had closed it.
void exit_program(App* app) {
    for (DocWindow* window = app->windows; window; window = window->next) {
        PostMessageW(doc_frame_handle(window), WM_CLOSE, 0, 0);
    }
}

}  // namespace

void run_window_command(void*, DocWindow* window, uint32_t command_id) {
    App* app = &program()->app;
    uint32_t index = command_id - CommandId::IndexBase;
    if (command_id == CommandId::Exit) {
        exit_program(app);
        return;
    }
    switch (index) {
    // A modal dialog would keep running script steps and could outlive the
    // window that owns it, so scripts never see one.
    case CommandIndex::Open:
        if (!app->script_mode) show_open_dialog(window);
        return;
    case CommandIndex::Close: close_doc_window(window); return;
    case CommandIndex::BiggerText:
    case CommandIndex::SmallerText:
    case CommandIndex::ActualSize: change_text_size(app, index); return;
    default:
        // Reload and the go-to box come with the file watcher and the top bar.
        if (app->script_mode) script_refuse_command(&program()->script);
        return;
    }
}
