// Carrying out each script command: most send the command id that the menu or
// keyboard would; the rest drive the list, the search box, the go-to box, the
// clipboard and the script's own state.
#include "script/script_run.h"

#include <chrono>
#include <cstdio>
#include <cstring>

#include "app/app.h"
#include "app/clipboard.h"
#include "app/commands.h"
#include "app/doc_window.h"
#include "app/key_bindings.h"
#include "app/list_scroll.h"
#include "app/open_file.h"
#include "app/search_box.h"
#include "base/memory.h"
#include "base/utf8.h"
#include "views/view_state.h"

namespace {

// The list's rows per page for Page Up and Page Down, which a window without
// a screen does not have.
constexpr uint32_t SCRIPT_PAGE_ROWS = 20;
// "write" copies files below this size only.
constexpr uint64_t WRITE_LIMIT = 0x4000000;
constexpr uint32_t NEEDS_WINDOWS_SIZE = 128;

constexpr uint32_t VIEW_CHANGED = Notice::List | Notice::StatusBar | Notice::TopBar;

uint64_t now_ms() {
    auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

// A zero-terminated copy of a piece of the line, or nullptr.
char* copy_text(const char* text, uint32_t length) {
    char* copy = mem_alloc_array<char>(static_cast<uint64_t>(length) + 1);
    if (!copy) return nullptr;
    std::memcpy(copy, text, length);
    copy[length] = 0;
    return copy;
}

// The clipboard text of "clip": a backslash and "n" is a line feed, two
// backslashes are one; other backslashes stay. Returns the new length.
uint32_t resolve_clip_escapes(char* text, uint32_t length) {
    uint32_t out = 0;
    for (uint32_t i = 0; i < length; i++) {
        char c = text[i];
        if (c == '\\' && i + 1 < length && (text[i + 1] == 'n' || text[i + 1] == '\\')) {
            c = text[++i] == 'n' ? '\n' : '\\';
        }
        text[out++] = c;
    }
    return out;
}

// Keys of the accelerator table run their command; the others go to the list.
void press_key(DocWindow* window, uint32_t key, uint32_t modifiers) {
    uint32_t id = accelerator_command_id(key, modifiers);
    if (id != NO_COMMAND) {
        run_command(window, id);
        return;
    }
    uint32_t view_key = view_key_of(key);
    if (view_key && navigate_key(window->view, view_key, modifiers, SCRIPT_PAGE_ROWS))
        notify_window(window, VIEW_CHANGED | (centre_after_view_key(view_key, modifiers) ? Notice::CentreSelection : 0));
}

// Each character goes to the list's type-ahead, as typed characters would;
// spaces and control characters do not reach it, and a byte that is not UTF-8
// arrives as U+FFFD, as the conversion to UTF-16 would make it.
void type_text(DocWindow* window, const char* text, uint32_t length) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(text);
    const uint8_t* end = p + length;
    while (p < end) {
        uint32_t bytes = utf8_sequence_length(p, end);
        uint32_t cp = bytes ? utf8_decode(p, bytes) : 0xFFFD;
        p += bytes ? bytes : 1;
        if (cp <= 0x20 || cp == 0x7F) continue;
        if (type_ahead(window->view, cp, now_ms())) notify_window(window, VIEW_CHANGED | Notice::CentreSelection);
    }
}

// Copies a file below 64 MiB; false when it cannot.
bool copy_file(const FileIo* io, const char* target, const char* source) {
    uint64_t size = 0;
    FileHandle in = io->open_file(source, &size);
    if (in == NO_FILE) return false;
    uint8_t* bytes = size < WRITE_LIMIT ? mem_alloc_array<uint8_t>(size + 1) : nullptr;
    bool read = bytes && io->read_all(in, bytes, static_cast<uint32_t>(size));
    (void)io->close(in);
    FileHandle out = read ? io->create_file(target) : NO_FILE;
    bool written = out != NO_FILE && io->write_all(out, bytes, static_cast<uint32_t>(size));
    if (out != NO_FILE) written = io->close(out) && written;
    mem_free(bytes);
    return written;
}

// Runs a command that needs a path or a copy of its text. nullptr when done,
// else the error text.
const char* run_with_text(Script* script, const ScriptCommand* command, DocWindow* window) {
    char* text = copy_text(command->text, command->text_length);
    char* source = text && command->source ? copy_text(command->source, command->source_length) : nullptr;
    const char* error = nullptr;
    App* app = script->app;
    if (!text || (command->source && !source)) {
        error = SCRIPT_OUT_OF_MEMORY;
    } else if (command->action == ScriptAction::Open) {
        open_path(app, window, text);
    } else if (command->action == ScriptAction::Clip) {
        if (!put_on_clipboard(app, text, resolve_clip_escapes(text, command->text_length))) error = SCRIPT_OUT_OF_MEMORY;
    } else if (command->action == ScriptAction::Remove) {
        if (!script->io->remove(text)) error = SCRIPT_REMOVE_FAILED;
    } else if (!copy_file(script->io, text, source)) {
        error = SCRIPT_WRITE_FAILED;
    }
    mem_free(text);
    mem_free(source);
    return error;
}

void set_pending_answer(Script* script, const char* text, uint32_t length) {
    size_t kept = utf8_prefix_in_units(reinterpret_cast<const uint8_t*>(text), length, SCRIPT_ANSWER_UNITS);
    std::memcpy(script->pending_answer, text, kept);
    script->pending_answer[kept] = 0;
    script->has_pending_answer = 1;
}

// Commands that act on the target window do nothing without one.
void run_in_window(const ScriptCommand* command, DocWindow* window) {
    ViewState* view = window->view;
    switch (command->action) {
    case ScriptAction::SendCommand: run_command(window, command->command_id); return;
    case ScriptAction::Key: press_key(window, command->key, command->modifiers); return;
    case ScriptAction::Type: type_text(window, command->text, command->text_length); return;
    case ScriptAction::Click:
        if (!view || command->numbers[0] >= visible_row_count(view)) return;
        click_row(view, command->numbers[0], command->on_chevron, command->modifiers);
        notify_window(window, VIEW_CHANGED);
        return;
    case ScriptAction::Search: {
        SearchOptions options{command->match_case, command->regex, command->scope, 0};
        set_search_from_script(window, command->text, command->text_length, &options);
        return;
    }
    case ScriptAction::Goto: {
        if (!view) return;
        const AppHost& host = window->app->host;
        if (host.enter_go_to_path) host.enter_go_to_path(host.context, window, command->text, command->text_length);
        else (void)submit_go_to_path(window, command->text, command->text_length);
        return;
    }
    case ScriptAction::Crumb:
        if (!view || command->numbers[0] >= breadcrumb_count(view)) return;
        select_breadcrumb(view, command->numbers[0]);
        notify_window(window, VIEW_CHANGED | Notice::CentreSelection);
        return;
    default: return;
    }
}

// Words of a refused command are short; a long one is cut.
int shown_length(ScriptWord word) { return static_cast<int>(word.length < 40 ? word.length : 40); }

ScriptPause fail(Script* script, const ScriptLine* line, const char* error) {
    write_script_error(&script->output, line->number, error);
    end_script(script, SCRIPT_EXIT_FAILED);
    return ScriptPause::Finished;
}

// The error names the command word, and for "key" and "dump" also what is
// pressed or dumped.
ScriptPause refuse(Script* script, const ScriptLine* line) {
    ScriptWord command = line->words[0];
    bool named = line->word_count > 1 && (script_word_is(command, "key") || script_word_is(command, "dump"));
    ScriptWord what = named ? line->words[1] : ScriptWord{"", 0};
    char error[NEEDS_WINDOWS_SIZE];
    std::snprintf(error, sizeof error, "%.*s%s%.*s needs the program's windows", shown_length(command), command.text,
                  named ? " " : "", shown_length(what), what.text);
    return fail(script, line, error);
}

bool host_has_windows(const App* app) { return app->host.raise_window != nullptr; }

// Raises the window and has the next step, half a second later, take its picture.
ScriptPause start_screenshot(Script* script, const ScriptCommand* command, DocWindow* window) {
    std::memcpy(script->pending_screenshot, command->text, command->text_length);
    script->pending_screenshot[command->text_length] = 0;
    script->screenshot_window = window;
    script->app->host.raise_window(script->app->host.context, window);
    script->pause_ms = SCREENSHOT_DELAY_MS;
    return ScriptPause::ForTime;
}

}  // namespace

ScriptPause run_script_line(Script* script, const ScriptLine* line) {
    ScriptCommand command;
    if (const char* error = parse_script_command(line, &command)) return fail(script, line, error);
    App* app = script->app;
    bool windows_only = command.action == ScriptAction::Screenshot || command.action == ScriptAction::Resize ||
                        command.action == ScriptAction::LoseDevice;
    if (command.needs_windows && !(windows_only && host_has_windows(app))) return refuse(script, line);
    DocWindow* window = is_open_window(app, script->current) ? script->current : app->windows;
    switch (command.action) {
    case ScriptAction::Screenshot:
        if (window) return start_screenshot(script, &command, window);
        break;
    case ScriptAction::Resize:
        if (window) app->host.resize_window(app->host.context, window, command.numbers[0], command.numbers[1]);
        break;
    case ScriptAction::LoseDevice: app->host.lose_device(app->host.context); break;
    case ScriptAction::Open:
    case ScriptAction::Clip:
    case ScriptAction::Write:
    case ScriptAction::Remove:
        if (const char* error = run_with_text(script, &command, window)) return fail(script, line, error);
        break;
    case ScriptAction::Wait: script->pause_ms = command.numbers[0]; return ScriptPause::ForTime;
    case ScriptAction::Answer: set_pending_answer(script, command.text, command.text_length); break;
    case ScriptAction::Quit: end_script(script, SCRIPT_EXIT_OK); return ScriptPause::Finished;
    case ScriptAction::Dump:
        if (!write_script_dump(script, line, &command, window)) return fail(script, line, SCRIPT_OUT_OF_MEMORY);
        break;
    default:
        script->command_refused = 0;
        if (window) run_in_window(&command, window);
        if (script->command_refused) return refuse(script, line);
        break;
    }
    return script->finished ? ScriptPause::Finished : ScriptPause::None;
}
