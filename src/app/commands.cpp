// The command table and run_command, the one dispatch for menus, accelerators
// and scripts.
#include "app/commands.h"

#include <cstring>

#include "app/app.h"
#include "app/clipboard.h"
#include "app/doc_window.h"
#include "app/key_bindings.h"
#include "app/open_file.h"
#include "app/reload.h"
#include "app/search_box.h"
#include "app/text_view_jobs.h"
#include "views/view_state.h"

namespace {

using namespace KeyModifier;

// The strip under the top bar comes and goes with the go-to message.
constexpr uint32_t GO_TO_MESSAGE_CHANGED = Notice::GoToMessage | Notice::TopBar | Notice::MessageBar | Notice::Layout;

void open_clipboard(DocWindow* window, uint32_t) { open_from_clipboard(window->app, window); }

void reload(DocWindow* window, uint32_t) { start_reload(window, true); }

void focus_search_box(DocWindow* window, uint32_t) { notify_window(window, Notice::FocusSearchBox); }

void toggle_inspector(DocWindow* window, uint32_t) {
    if (window->start_page) return;
    window->inspector_shown = window->inspector_shown ? 0 : 1;
    window->app->settings.inspector = window->inspector_shown;
    save_settings_later(window->app);
    notify_window(window, Notice::Layout);
}

void show_tree(DocWindow* window, uint32_t) { show_tree_view(window); }

void show_text(DocWindow* window, uint32_t) { show_text_view(window); }

void copy(DocWindow* window, uint32_t kind) {
    copy_selection(window, static_cast<CopyKind>(kind), static_cast<PathStyle>(window->app->settings.path_style));
}

void copy_path_as(DocWindow* window, uint32_t style) {
    copy_selection(window, CopyKind::Path, static_cast<PathStyle>(style));
}

void run_view(DocWindow* window, uint32_t view_command) {
    if (run_view_command(window->view, view_command))
        notify_window(window, Notice::List | Notice::StatusBar | Notice::TopBar | Notice::CentreSelection);
}

void set_path_style(DocWindow* window, uint32_t style) {
    App* app = window->app;
    app->settings.path_style = static_cast<int32_t>(style);
    save_settings_later(app);
    notify_every_window(app, Notice::Everything | Notice::Inspector);
}

void open_recent(DocWindow* window, uint32_t n) {
    App* app = window->app;
    if (n >= static_cast<uint32_t>(app->settings.recent_count)) return;
    // open_path may change the recent list, so it gets a copy.
    char path[RECENT_PATH_SIZE];
    std::memcpy(path, app->settings.recent[n], RECENT_PATH_SIZE);
    open_path(app, window, path);
}

// The list's Alt+Right (expand) and Alt+Left (collapse).
void change_subtree(DocWindow* window, uint32_t expand) {
    if (navigate_key(window->view, expand ? ViewKey::Right : ViewKey::Left, Alt, 1))
        notify_window(window, Notice::List | Notice::StatusBar | Notice::CentreSelection);
}

void toggle_indent_guides(DocWindow* window, uint32_t) {
    App* app = window->app;
    app->settings.indent_guides = app->settings.indent_guides ? 0 : 1;
    save_settings_later(app);
    notify_every_window(app, Notice::Everything | Notice::Inspector);
}

void dismiss_problem_bar(DocWindow* window, uint32_t) {
    window->problem_bar_dismissed = 1;
    notify_window(window, Notice::Layout);
}

void show_in_text(DocWindow* window, uint32_t) { show_problem_in_text(window); }

void search_scope(DocWindow* window, uint32_t scope) { choose_scope(window, static_cast<SearchScope>(scope)); }

constexpr uint8_t DOC = 1;     // needs_document
constexpr uint8_t WINDOW = 1;  // about_windows
constexpr CommandKey key(uint32_t code, uint32_t modifiers) { return CommandKey{code, modifiers, 0}; }
constexpr CommandKey extra_key(uint32_t code, uint32_t modifiers) { return CommandKey{code, modifiers, 1}; }

using namespace CommandId;
using namespace VirtualKey;

// Rows in id order. Copy kinds, view commands, path styles and scopes travel
// as the argument.
const Command COMMANDS[] = {
    {Open, 1, nullptr, "Open...\tCtrl+O", {key('O', Ctrl)}, 0, WINDOW, nullptr, 0},
    {OpenFromClipboard, 1, "open-clipboard", "Open from Clipboard\tShift+Ctrl+V", {key('V', Ctrl | Shift)}, 0, 0,
     open_clipboard, 0},
    {Close, 1, nullptr, "Close\tCtrl+W", {key('W', Ctrl)}, 0, WINDOW, nullptr, 0},
    {Reload, 1, "reload", "Reload\tCtrl+R", {key('R', Ctrl), key(F5, 0)}, DOC, 0, reload, 0},
    {Find, 1, nullptr, "Find\tCtrl+F", {key('F', Ctrl)}, DOC, 0, focus_search_box, 0},
    {GoToPath, 1, nullptr, "Go to Path...\tCtrl+L", {key('L', Ctrl)}, DOC, WINDOW, nullptr, 0},
    {Inspector, 1, nullptr, "Inspector\tCtrl+I", {key('I', Ctrl)}, 0, 0, toggle_inspector, 0},
    // The keypad's keys, and Ctrl+Shift+= for keyboards where "+" needs Shift.
    {BiggerText, 1, nullptr, "Bigger Text\tCtrl+=",
     {key(Equals, Ctrl), extra_key(Add, Ctrl), extra_key(Equals, Ctrl | Shift)}, 0, WINDOW, nullptr, 0},
    {SmallerText, 1, nullptr, "Smaller Text\tCtrl+-", {key(Minus, Ctrl), extra_key(Subtract, Ctrl)}, 0, WINDOW, nullptr,
     0},
    {ActualSize, 1, nullptr, "Actual Size\tCtrl+0", {key('0', Ctrl), extra_key(Numpad0, Ctrl)}, 0, WINDOW, nullptr, 0},
    {Tree, 1, "view tree", "Tree\tCtrl+1", {key('1', Ctrl)}, DOC, 0, show_tree, 0},
    {Text, 1, "view text", "Text\tCtrl+2", {key('2', Ctrl)}, DOC, 0, show_text, 0},
    {CopyValue, 1, "copy value", "Copy Value\tCtrl+C", {key('C', Ctrl)}, DOC, 0, copy,
     static_cast<uint32_t>(CopyKind::Value)},
    {CopyPath, 1, "copy path", "Copy Path\tShift+Ctrl+C", {key('C', Ctrl | Shift)}, DOC, 0, copy,
     static_cast<uint32_t>(CopyKind::Path)},
    {CopyJson, 1, "copy json", "Copy as JSON\tAlt+Ctrl+C", {key('C', Ctrl | Alt)}, DOC, 0, copy,
     static_cast<uint32_t>(CopyKind::Json)},
    {CopyKey, 1, "copy key", "Copy Key", {}, DOC, 0, copy, static_cast<uint32_t>(CopyKind::Key)},
    {CopyMinifiedJson, 1, "copy json-min", "Copy as Minified JSON", {}, DOC, 0, copy,
     static_cast<uint32_t>(CopyKind::MinifiedJson)},
    {FindNext, 1, "find-next", "Find Next\tF3", {key(F3, 0), key('G', Ctrl)}, DOC, 0, run_view, ViewCommand::FindNext},
    {FindPrevious, 1, "find-prev", "Find Previous\tShift+F3", {key(F3, Shift), key('G', Ctrl | Shift)}, DOC, 0,
     run_view, ViewCommand::FindPrevious},
    {ExpandAll, 1, "expand-all", "Expand All\tShift+Ctrl+]", {key(CloseBracket, Ctrl | Shift)}, DOC, 0, run_view,
     ViewCommand::ExpandAll},
    {CollapseAll, 1, "collapse-all", "Collapse All\tShift+Ctrl+[", {key(OpenBracket, Ctrl | Shift)}, DOC, 0, run_view,
     ViewCommand::CollapseAll},
    {ExpandToLevel, EXPAND_LEVEL_COUNT, "level", nullptr, {key('1', Alt)}, DOC, 0, run_view, ViewCommand::Level1},
    {Back, 1, "back", "Back\tCtrl+[", {key(OpenBracket, Ctrl)}, DOC, 0, run_view, ViewCommand::Back},
    {Forward, 1, "forward", "Forward\tCtrl+]", {key(CloseBracket, Ctrl)}, DOC, 0, run_view, ViewCommand::Forward},
    {NextProblem, 1, nullptr, "Next problem", {}, DOC, 0, run_view, ViewCommand::NextProblem},
    {CopyPathAs + 0, 1, "copy path-jsonpath", "JSONPath", {}, DOC, 0, copy_path_as, 0},
    {CopyPathAs + 1, 1, "copy path-jq", "jq", {}, DOC, 0, copy_path_as, 1},
    {CopyPathAs + 2, 1, "copy path-js", "JavaScript", {}, DOC, 0, copy_path_as, 2},
    {CopyPathAs + 3, 1, "copy path-python", "Python", {}, DOC, 0, copy_path_as, 3},
    {CopyPathAs + 4, 1, "copy path-pointer", "JSON Pointer", {}, DOC, 0, copy_path_as, 4},
    {SetPathStyle + 0, 1, nullptr, "JSONPath", {}, 0, 0, set_path_style, 0},
    {SetPathStyle + 1, 1, nullptr, "jq", {}, 0, 0, set_path_style, 1},
    {SetPathStyle + 2, 1, nullptr, "JavaScript", {}, 0, 0, set_path_style, 2},
    {SetPathStyle + 3, 1, nullptr, "Python", {}, 0, 0, set_path_style, 3},
    {OpenRecent, RECENT_MAX, nullptr, nullptr, {}, 0, 0, open_recent, 0},
    {ExpandSubtree, 1, nullptr, "Expand Subtree\tAlt+Right", {}, DOC, 0, change_subtree, 1},
    {CollapseSubtree, 1, nullptr, "Collapse Subtree\tAlt+Left", {}, DOC, 0, change_subtree, 0},
    {IndentGuides, 1, nullptr, "Indent Guides", {}, 0, 0, toggle_indent_guides, 0},
    {Exit, 1, nullptr, "Exit", {}, 0, WINDOW, nullptr, 0},
    {ProblemBarNext, 1, "next-problem", nullptr, {}, DOC, 0, run_view, ViewCommand::NextProblem},
    {ProblemBarClose, 1, nullptr, nullptr, {}, DOC, 0, dismiss_problem_bar, 0},
    {ProblemBarShowInText, 1, "show-in-text", nullptr, {}, DOC, 0, show_in_text, 0},
    {SetSearchScope + 0, 1, nullptr, "Keys and values", {}, 0, 0, search_scope, 0},
    {SetSearchScope + 1, 1, nullptr, "Keys", {}, 0, 0, search_scope, 1},
    {SetSearchScope + 2, 1, nullptr, "Values", {}, 0, 0, search_scope, 2},
};

}  // namespace

const Command* command_table(uint32_t* count) {
    *count = static_cast<uint32_t>(sizeof COMMANDS / sizeof COMMANDS[0]);
    return COMMANDS;
}

const Command* find_command(uint32_t id) {
    for (const Command& command : COMMANDS) {
        if (id >= command.id && id - command.id < command.count) return &command;
    }
    return nullptr;
}

void run_command(DocWindow* window, uint32_t id) {
    const Command* command = find_command(id);
    if (!command || (command->needs_document && !window->view)) return;
    if (command->about_windows) window->app->host.run_window_command(window->app->host.context, window, id);
    else command->run(window, command->argument + (id - command->id));
}

bool submit_go_to_path(DocWindow* window, const char* text, uint64_t length) {
    if (!window->view) return false;
    App* app = window->app;
    window->goto_mode = 1;
    if (go_to_path(window->view, text, length, window->goto_message, GOTO_MESSAGE_SIZE)) {
        window->goto_mode = 0;
        window->goto_message[0] = 0;
        notify_window(window, GO_TO_MESSAGE_CHANGED | Notice::List | Notice::StatusBar | Notice::FocusList |
                                  Notice::CentreSelection);
        return true;
    }
    report_to_script(app, "goto-error", window->goto_message);
    notify_window(window, GO_TO_MESSAGE_CHANGED);
    return false;
}
