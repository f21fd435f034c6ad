// The script's dumps: the window's rows, a summary of its state, the
// Inspector text, the clipboard, the main menu, the last question and the
// window titles.
// Every text comes from the same engine functions the windows paint with, with
// no parse time, so that a dump does not depend on timing.
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "app/app.h"
#include "app/doc_window.h"
#include "app/menu_model.h"
#include "base/memory.h"
#include "describe/inspector.h"
#include "describe/json_writer.h"
#include "describe/summaries.h"
#include "paths/path_format.h"
#include "script/script_run.h"
#include "views/row_paint.h"
#include "views/search_view.h"
#include "views/text_view.h"
#include "views/view_state.h"

namespace {

// The character budget of a dumped row, whatever a window's width would allow.
constexpr uint32_t DUMP_ROW_BUDGET = 120;
constexpr uint32_t COUNTER_SIZE = 64;

void put(Script* script, const char* text) { write_script_text(&script->output, text); }

// "%u|%c|" in the tree (depth; v, + or - for an expanded, a collapsed and any
// other row), "%u|" in the text view (line number), then the row's text.
void dump_rows(Script* script, const ViewState* view, uint32_t start, uint32_t count) {
    uint64_t end = static_cast<uint64_t>(start) + count;
    uint32_t rows = visible_row_count(view);
    if (end > rows) end = rows;
    RowPaint paint = row_paint();
    bool tree = view_mode(view) == VIEW_MODE_TREE;
    for (uint64_t row = start; row < end; row++) {
        paint_row(view, static_cast<uint32_t>(row), DUMP_ROW_BUDGET, &paint);
        char head[32];
        if (tree) {
            static const char SIGNS[] = {'-', '+', 'v'};
            std::snprintf(head, sizeof head, "%" PRIu32 "|%c|", paint.depth, SIGNS[paint.chevron > 2 ? 0 : paint.chevron]);
        } else {
            std::snprintf(head, sizeof head, "%" PRIu32 "|", paint.line_number);
        }
        put(script, head);
        write_script_bytes(&script->output, paint.text, paint.length);
        put(script, "\n");
    }
    release_row_paint(&paint);
}

const char* mode_name(const ViewState* view) {
    if (view_mode(view) == VIEW_MODE_TREE) return "tree";
    return text_view_mode(text_view(view)) == TEXT_PRETTY ? "pretty" : "source";
}

// A text, or "-" when it is empty.
void put_or_dash(Script* script, const char* text) { put(script, text[0] ? text : "-"); }

void dump_selected_path(Script* script, const ViewState* view) {
    NodeId selected = selected_node(view);
    const Document* doc = document(view);
    uint64_t length = selected == NO_NODE ? 0 : format_path(doc, selected, PathStyle::JsonPath, nullptr, 0);
    char* path = length ? mem_alloc_array<char>(length + 1) : nullptr;
    if (path) format_path(doc, selected, PathStyle::JsonPath, path, length + 1);
    put_or_dash(script, path ? path : "");
    mem_free(path);
}

void dump_state(Script* script, const ViewState* view) {
    char text[SUMMARY_TEXT_SIZE];
    put(script, "mode=");
    put(script, mode_name(view));
    std::snprintf(text, sizeof text, "\nrows=%" PRIu32 "\nselected=", visible_row_count(view));
    put(script, text);
    dump_selected_path(script, view);
    uint32_t caret = selected_row(view);
    uint32_t anchor = anchor_line(view);
    if (view_mode(view) == VIEW_MODE_TEXT && caret != NO_LINE && anchor != NO_LINE) {
        uint32_t first = caret < anchor ? caret : anchor;
        uint32_t last = caret < anchor ? anchor : caret;
        std::snprintf(text, sizeof text, "\nrange=%" PRIu64 "-%" PRIu64, uint64_t{first} + 1, uint64_t{last} + 1);
        put(script, text);
    } else {
        put(script, "\nrange=-");
    }
    char counter[COUNTER_SIZE];
    search_counter_text(view, counter, sizeof counter);
    put(script, "\nsearch=");
    put_or_dash(script, counter);
    error_summary(document(view), text, sizeof text);
    put(script, "\nerrorbar=");
    put_or_dash(script, text);
    status_summary(document(view), NO_PARSE_TIME, text, sizeof text);
    put(script, "\nstatus=");
    put(script, text);
    put(script, "\n");
}

void dump_inspector(Script* script, const ViewState* view) {
    uint64_t length = 0;
    PathStyle style = static_cast<PathStyle>(script->app->settings.path_style);
    char* text = view ? inspector_text(document(view), selected_node(view), style, &length) : nullptr;
    write_script_bytes(&script->output, text, text ? length : 0);
    free_text(text);
    put(script, "\n");
}

void dump_clipboard(Script* script, bool size_only) {
    const AppHost& host = script->app->host;
    uint64_t length = 0;
    char* text = host.get_clipboard_text(host.context, &length);
    if (!text) length = 0;
    if (size_only) {
        char size[32];
        std::snprintf(size, sizeof size, "%" PRIu64 "\n", length);
        put(script, size);
    } else {
        write_script_bytes(&script->output, text, length);
        put(script, "\n");
    }
    mem_free(text);
}

void dump_windows(Script* script) {
    for (const DocWindow* window = script->app->windows; window; window = window->next) {
        char title[TITLE_SIZE];
        doc_window_title(window, title, sizeof title);
        put(script, title);
        put(script, "\n");
    }
}

void dump_menu_line(void* sink, const MenuItem* item) {
    char line[RECENT_LABEL_SIZE + 64];
    format_menu_line(item, line, sizeof line);
    put(static_cast<Script*>(sink), line);
}

// The main menu as the window would show it now, read back from the host's
// own menu when it has one. False when memory runs out or the host's menu
// cannot be made.
bool dump_menu(Script* script, const DocWindow* window) {
    if (!window) return true;
    Menu* menu = mem_alloc_array<Menu>(1);
    if (!menu) return false;
    build_main_menu(window, menu);
    const AppHost& host = script->app->host;
    bool made = true;
    if (host.dump_menu) {
        made = host.dump_menu(host.context, menu, dump_menu_line, script);
    } else {
        for (uint32_t i = 0; i < menu->count; i++) dump_menu_line(script, &menu->items[i]);
    }
    mem_free(menu);
    return made;
}

void dump_reloads(Script* script, const DocWindow* window) {
    char count[16];
    std::snprintf(count, sizeof count, "%" PRIu32 "\n", window ? window->reload_count : 0);
    put(script, count);
}

}  // namespace

bool write_script_dump(Script* script, const ScriptLine* line, const ScriptCommand* command, DocWindow* window) {
    write_dump_header(&script->output, line);
    const ViewState* view = window ? window->view : nullptr;
    switch (command->dump) {
    case ScriptDump::Rows: dump_rows(script, view, command->numbers[0], command->numbers[1]); break;
    case ScriptDump::State: dump_state(script, view); break;
    case ScriptDump::Inspector: dump_inspector(script, view); break;
    case ScriptDump::Clipboard: dump_clipboard(script, false); break;
    case ScriptDump::ClipboardSize: dump_clipboard(script, true); break;
    case ScriptDump::Menu: return dump_menu(script, window);
    case ScriptDump::Question:
        put(script, script->last_question ? script->last_question : "-");
        put(script, "\n");
        break;
    case ScriptDump::Windows: dump_windows(script); break;
    case ScriptDump::Reloads: dump_reloads(script, window); break;
    }
    return true;
}
