// run_command: one dispatch for menus, accelerators and scripts. Commands
// that are about windows go to the host.
#include <cstring>

#include "app/app.h"
#include "app/clipboard.h"
#include "app/commands.h"
#include "app/doc_window.h"
#include "app/open_file.h"
#include "app/text_view_jobs.h"
#include "views/view_state.h"

namespace {

void run_view(DocWindow* window, uint32_t number) {
    if (run_view_command(window->view, number))
        notify_window(window, Notice::List | Notice::StatusBar | Notice::TopBar | Notice::CentreSelection);
}

// Alt+Right and Alt+Left of the list.
void change_subtree(DocWindow* window, bool expand) {
    if (navigate_key(window->view, expand ? ViewKey::Right : ViewKey::Left, KeyModifier::Alt, 1))
        notify_window(window, Notice::List | Notice::StatusBar | Notice::CentreSelection);
}

void copy(DocWindow* window, uint32_t kind) {
    copy_selection(window, kind, static_cast<PathStyle>(window->app->settings.path_style));
}

void toggle_inspector(DocWindow* window) {
    if (window->start_page) return;
    window->inspector_shown = window->inspector_shown ? 0 : 1;
    window->app->settings.inspector = window->inspector_shown;
    save_settings_later(window->app);
    notify_window(window, Notice::Layout);
}

void run_index(DocWindow* window, uint32_t index) {
    switch (index) {
    case CommandIndex::OpenFromClipboard: open_from_clipboard(window->app, window); return;
    case CommandIndex::Find:
        if (window->view) notify_window(window, Notice::FocusSearchBox);
        return;
    case CommandIndex::Inspector: toggle_inspector(window); return;
    case CommandIndex::Tree: show_tree_view(window); return;
    case CommandIndex::Text: show_text_view(window); return;
    default: break;
    }
    if (index >= CommandIndex::CopyValue && index <= CommandIndex::CopyMinifiedJson) copy(window, index);
    else if (index >= CommandIndex::FindNext && index <= CommandIndex::NextProblem) run_view(window, index);
    else window->app->host.run_window_command(window->app->host.context, window, command_id_of_index(index));
}

void set_path_style(App* app, uint32_t style) {
    app->settings.path_style = static_cast<int32_t>(style);
    save_settings_later(app);
    notify_every_window(app, Notice::Menus);
}

void toggle_indent_guides(App* app) {
    app->settings.indent_guides = app->settings.indent_guides ? 0 : 1;
    save_settings_later(app);
    notify_every_window(app, Notice::List);
}

void open_recent(DocWindow* window, uint32_t n) {
    App* app = window->app;
    if (n >= static_cast<uint32_t>(app->settings.recent_count)) return;
    // open_path may change the recent list, so it gets a copy.
    char path[RECENT_PATH_SIZE];
    std::memcpy(path, app->settings.recent[n], RECENT_PATH_SIZE);
    open_path(app, window, path);
}

}  // namespace

void run_command(DocWindow* window, uint32_t id) {
    using namespace CommandId;
    if (id >= IndexBase && id <= IndexBase + CommandIndex::Last) {
        run_index(window, id - IndexBase);
    } else if (id >= CopyPathAs && id < CopyPathAs + PATH_STYLE_COUNT) {
        copy_selection(window, CommandIndex::CopyPath, static_cast<PathStyle>(id - CopyPathAs));
    } else if (id >= SetPathStyle && id <= SetPathStyleLast) {
        set_path_style(window->app, id - SetPathStyle);
    } else if (id >= OpenRecent && id < OpenRecent + RECENT_MAX) {
        open_recent(window, id - OpenRecent);
    } else if (id == ExpandSubtree || id == CollapseSubtree) {
        change_subtree(window, id == ExpandSubtree);
    } else if (id == IndentGuides) {
        toggle_indent_guides(window->app);
    } else if (id == ProblemBarNext) {
        run_view(window, CommandIndex::NextProblem);
    } else if (id == ProblemBarClose) {
        window->problem_bar_dismissed = 1;
        notify_window(window, Notice::Layout);
    } else if (id == ProblemBarShowInText) {
        show_problem_in_text(window);
    } else {
        window->app->host.run_window_command(window->app->host.context, window, id);
    }
}

bool submit_go_to_path(DocWindow* window, const char* text, uint64_t length) {
    if (!window->view) return false;
    App* app = window->app;
    window->goto_mode = 1;
    if (go_to_path(window->view, text, length, window->goto_message, GOTO_MESSAGE_SIZE)) {
        window->goto_mode = 0;
        window->goto_message[0] = 0;
        notify_window(window, Notice::GoToMessage | Notice::TopBar | Notice::List | Notice::StatusBar | Notice::FocusList |
                                  Notice::CentreSelection);
        return true;
    }
    if (app->script_mode) app->host.write_script_line(app->host.context, "goto-error", window->goto_message);
    notify_window(window, Notice::GoToMessage | Notice::TopBar);
    return false;
}
