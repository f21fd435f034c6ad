#include "app/menu_model.h"

#include <cstdio>
#include <cstring>

#include "app/app.h"
#include "app/commands.h"
#include "app/doc_window.h"
#include "app/open_file.h"
#include "base/utf8.h"
#include "core/document.h"
#include "views/view_state.h"

namespace {

// What the items' states are computed from.
struct WindowState {
    bool doc;
    bool tree;
    bool text;
};

WindowState state_of(const DocWindow* window) {
    const ViewState* view = window->view;
    bool tree = view && view_mode(view) == VIEW_MODE_TREE;
    return WindowState{view != nullptr, tree, view && !tree};
}

void add(Menu* menu, MenuItemKind kind, uint32_t depth, uint32_t id, const char* text, bool grayed,
         MenuMark mark = MenuMark::None) {
    // The menus are fixed in size and MENU_ITEM_MAX holds the largest.
    if (menu->count == MENU_ITEM_MAX) return;
    menu->items[menu->count++] =
        MenuItem{kind, static_cast<uint8_t>(depth), static_cast<uint8_t>(grayed ? 1 : 0), mark, id, text};
}

// An item with the command table's text for `id`.
void add_command(Menu* menu, uint32_t depth, uint32_t id, bool grayed, MenuMark mark = MenuMark::None) {
    add(menu, MenuItemKind::Command, depth, id, find_command(id)->menu_text, grayed, mark);
}

void add_separator(Menu* menu, uint32_t depth) { add(menu, MenuItemKind::Separator, depth, 0, "", false); }

void add_submenu(Menu* menu, uint32_t depth, const char* text, bool grayed) {
    add(menu, MenuItemKind::Submenu, depth, 0, text, grayed);
}

void start(Menu* menu) {
    menu->count = 0;
    menu->recent_count = 0;
}

void add_recent_files(Menu* menu, const Settings* settings, uint32_t depth) {
    uint32_t count = settings->recent_count > 0 ? static_cast<uint32_t>(settings->recent_count) : 0;
    for (uint32_t i = 0; i < count && i < static_cast<uint32_t>(RECENT_MAX); i++) {
        std::memcpy(menu->recent[i], settings->recent[i], RECENT_PATH_SIZE);
        format_recent_label(i, menu->recent[i], menu->recent_labels[i], RECENT_LABEL_SIZE);
        add(menu, MenuItemKind::Command, depth, CommandId::OpenRecent + i, menu->recent_labels[i], false);
        menu->recent_count = i + 1;
    }
    if (menu->recent_count == 0) add(menu, MenuItemKind::Command, depth, 0, "No recent files", true);
}

void add_copy_path_as(Menu* menu, uint32_t depth, bool grayed) {
    add_submenu(menu, depth, "Copy Path As", grayed);
    for (uint32_t style = 0; style < PATH_STYLE_COUNT; style++)
        add_command(menu, depth + 1, CommandId::CopyPathAs + style, false);
}

// "Level %u\tAlt+%u" for levels 1-9, all grayed unless enabled; the submenu
// item too.
void add_level_menu(Menu* menu, uint32_t depth, bool enabled) {
    add_submenu(menu, depth, "Expand to Level", !enabled);
    static const char* const LEVELS[EXPAND_LEVEL_COUNT] = {
        "Level 1\tAlt+1", "Level 2\tAlt+2", "Level 3\tAlt+3", "Level 4\tAlt+4", "Level 5\tAlt+5",
        "Level 6\tAlt+6", "Level 7\tAlt+7", "Level 8\tAlt+8", "Level 9\tAlt+9",
    };
    for (uint32_t level = 0; level < EXPAND_LEVEL_COUNT; level++)
        add(menu, MenuItemKind::Command, depth + 1, CommandId::ExpandToLevel + level, LEVELS[level], !enabled);
}

void add_file_menu(Menu* menu, const DocWindow* window, WindowState state) {
    add_submenu(menu, 0, "&File", false);
    add_command(menu, 1, CommandId::Open, false);
    add_command(menu, 1, CommandId::OpenFromClipboard, false);
    add_submenu(menu, 1, "Open Recent", false);
    add_recent_files(menu, &window->app->settings, 2);
    add_separator(menu, 1);
    // Clipboard documents have no file to read again.
    add_command(menu, 1, CommandId::Reload, !state.doc || !window->path);
    add_command(menu, 1, CommandId::Close, false);
    add_separator(menu, 1);
    add_command(menu, 1, CommandId::Exit, false);
}

void add_edit_menu(Menu* menu, const DocWindow* window, WindowState state) {
    add_submenu(menu, 0, "&Edit", false);
    const uint32_t copies[] = {CommandId::CopyValue, CommandId::CopyPath, CommandId::CopyJson, CommandId::CopyKey,
                               CommandId::CopyMinifiedJson};
    for (uint32_t id : copies) add_command(menu, 1, id, !state.doc);
    add_copy_path_as(menu, 1, !state.doc);
    add_separator(menu, 1);
    add_command(menu, 1, CommandId::Find, !state.doc);
    bool searched = state.doc && search(window->view);
    add_command(menu, 1, CommandId::FindNext, !searched);
    add_command(menu, 1, CommandId::FindPrevious, !searched);
    add_command(menu, 1, CommandId::GoToPath, !state.doc);
}

MenuMark mark_if(bool on, MenuMark mark = MenuMark::Check) { return on ? mark : MenuMark::None; }

void add_view_menu(Menu* menu, const DocWindow* window, WindowState state) {
    const Settings* settings = &window->app->settings;
    add_submenu(menu, 0, "&View", false);
    add_command(menu, 1, CommandId::Tree, !state.doc, mark_if(state.tree));
    add_command(menu, 1, CommandId::Text, !state.doc, mark_if(state.text));
    add_separator(menu, 1);
    add_level_menu(menu, 1, state.tree);
    add_command(menu, 1, CommandId::ExpandAll, !state.tree);
    add_command(menu, 1, CommandId::CollapseAll, !state.tree);
    add_separator(menu, 1);
    add_command(menu, 1, CommandId::Back, !state.doc);
    add_command(menu, 1, CommandId::Forward, !state.doc);
    add_separator(menu, 1);
    bool start_page = window->start_page != 0;
    add_command(menu, 1, CommandId::Inspector, start_page, mark_if(!start_page && window->inspector_shown));
    add_submenu(menu, 1, "Path Style", false);
    // JSON Pointer is a style to copy in, not one to show paths in.
    uint32_t style = settings->path_style >= 0 && settings->path_style < static_cast<int32_t>(SET_PATH_STYLE_COUNT)
                         ? static_cast<uint32_t>(settings->path_style)
                         : 0;
    for (uint32_t i = 0; i < SET_PATH_STYLE_COUNT; i++)
        add_command(menu, 2, CommandId::SetPathStyle + i, false, mark_if(i == style, MenuMark::Radio));
    add_command(menu, 1, CommandId::IndentGuides, false, mark_if(settings->indent_guides != 0));
    add_separator(menu, 1);
    add_command(menu, 1, CommandId::BiggerText, false);
    add_command(menu, 1, CommandId::SmallerText, false);
    add_command(menu, 1, CommandId::ActualSize, false);
}

void put(BoundedWriter* writer, const char* text, uint64_t length) {
    bw_append(writer, reinterpret_cast<const uint8_t*>(text), length);
}

}  // namespace

void build_main_menu(const DocWindow* window, Menu* menu) {
    start(menu);
    WindowState state = state_of(window);
    add_file_menu(menu, window, state);
    add_edit_menu(menu, window, state);
    add_view_menu(menu, window, state);
}

void build_list_menu(const DocWindow* window, Menu* menu) {
    start(menu);
    WindowState state = state_of(window);
    add_command(menu, 0, CommandId::CopyValue, false);
    add_command(menu, 0, CommandId::CopyKey, false);
    add_command(menu, 0, CommandId::CopyPath, false);
    add_copy_path_as(menu, 0, false);
    add_command(menu, 0, CommandId::CopyJson, false);
    add_command(menu, 0, CommandId::CopyMinifiedJson, false);
    add_separator(menu, 0);
    add_command(menu, 0, CommandId::ExpandSubtree, state.text);
    add_command(menu, 0, CommandId::CollapseSubtree, state.text);
    add_level_menu(menu, 0, state.tree);
}

void build_scope_menu(const DocWindow* window, Menu* menu) {
    start(menu);
    int32_t scope = window->app->settings.search_scope;
    uint32_t marked = scope >= 0 && scope <= 2 ? static_cast<uint32_t>(scope) : 0;
    for (uint32_t i = 0; i < 3; i++)
        add_command(menu, 0, CommandId::SetSearchScope + i, false, mark_if(i == marked, MenuMark::Radio));
}

void run_menu_choice(DocWindow* window, const Menu* menu, uint32_t id) {
    uint32_t n = id - CommandId::OpenRecent;
    if (id < CommandId::OpenRecent || n >= static_cast<uint32_t>(RECENT_MAX)) {
        run_command(window, id);
    } else if (n < menu->recent_count) {
        open_path(window->app, window, menu->recent[n]);
    }
}

uint64_t format_recent_label(uint32_t index, const char* path, char* buffer, uint64_t size) {
    BoundedWriter writer = bounded_writer(buffer, size);
    char prefix[8];
    int length = std::snprintf(prefix, sizeof prefix, "&%u  ", (index + 1) % 10);
    put(&writer, prefix, static_cast<uint64_t>(length));
    uint64_t units = static_cast<uint64_t>(length);
    const uint8_t* p = reinterpret_cast<const uint8_t*>(path);
    const uint8_t* end = p + std::strlen(path);
    while (p < end) {
        uint32_t bytes = utf8_sequence_length(p, end);
        if (bytes == 0) bytes = 1;  // recent paths are valid UTF-8; never loop on one that is not
        // A four-byte character is a surrogate pair; "&" is written twice.
        uint64_t needed = bytes == 4 || *p == '&' ? 2 : 1;
        if (units + needed > RECENT_LABEL_UNITS) break;
        units += needed;
        if (*p == '&') put(&writer, "&", 1);
        put(&writer, reinterpret_cast<const char*>(p), bytes);
        p += bytes;
    }
    return writer.total;
}

uint64_t format_menu_line(const MenuItem* item, char* buffer, uint64_t size) {
    BoundedWriter writer = bounded_writer(buffer, size);
    for (uint32_t level = 0; level < item->depth; level++) put(&writer, "  ", 2);
    const char* text = item->kind == MenuItemKind::Separator ? "-" : item->text;
    for (const char* tab; (tab = std::strchr(text, '\t')); text = tab + 1) {
        put(&writer, text, static_cast<uint64_t>(tab - text));
        put(&writer, " ", 1);
    }
    put(&writer, text, std::strlen(text));
    if (item->grayed) put(&writer, " (off)", 6);
    if (item->mark != MenuMark::None) put(&writer, " (on)", 5);
    put(&writer, "\n", 1);
    return writer.total;
}
