// The menus as data: the main menu behind the top bar's menu button, the
// list's context menu and the search-scope menu, with every item's enabled,
// check and radio state taken from the window at the moment it is built. The
// Windows host makes its pop-up menus from these items; script mode dumps
// them.
//
// Items are kept in the order a person reads them: a submenu's items follow
// it, one level deeper.
#pragma once

#include <cstdint>

#include "files/settings.h"

struct DocWindow;

enum class MenuItemKind : uint8_t { Command, Separator, Submenu };
enum class MenuMark : uint8_t { None, Check, Radio };

struct MenuItem {
    MenuItemKind kind;
    uint8_t depth;  // 0 for the menu's own items, one more inside each submenu
    uint8_t grayed;
    MenuMark mark;
    uint32_t id;       // the command; 0 for separators, submenus and "No recent files"
    const char* text;  // UTF-8, the shortcut after a tab; empty for separators
};

constexpr uint32_t MENU_ITEM_MAX = 80;
// A recent file's label fits a 1200-unit Windows buffer with its terminator.
constexpr uint32_t RECENT_LABEL_UNITS = 1199;
constexpr uint32_t RECENT_LABEL_SIZE = RECENT_LABEL_UNITS * 3 + 1;

struct Menu {
    MenuItem items[MENU_ITEM_MAX];
    uint32_t count;
    // The recent files as they were when the menu was built, so that a choice
    // opens the file its label named even if the list changed meanwhile.
    char recent[RECENT_MAX][RECENT_PATH_SIZE];
    uint32_t recent_count;
    char recent_labels[RECENT_MAX][RECENT_LABEL_SIZE];
};

// "&File", "&Edit" and "&View" with their items and submenus. The Menu is
// large: allocate it (mem_alloc) rather than keep it on the stack.
void build_main_menu(const DocWindow* window, Menu* menu);
// The list's context menu (the window must show a Document).
void build_list_menu(const DocWindow* window, Menu* menu);
// "Keys and values", "Keys", "Values", the current scope marked.
void build_scope_menu(const DocWindow* window, Menu* menu);

// Runs the id chosen from `menu`: a recent file is the one the menu showed.
// The window may be gone afterwards.
void run_menu_choice(DocWindow* window, const Menu* menu, uint32_t id);

// The label of the recent file at `index` (0-9): "&%u  " with (index + 1) mod
// 10, then the path with every "&" doubled, cut to RECENT_LABEL_UNITS UTF-16
// units without splitting a character or a doubled "&" (snprintf contract).
uint64_t format_recent_label(uint32_t index, const char* path, char* buffer, uint64_t size);

// One line of a menu dump: two spaces per level, the text with tabs as
// spaces (a separator as "-"), " (off)" when grayed, " (on)" when marked, and
// a line break (snprintf contract).
uint64_t format_menu_line(const MenuItem* item, char* buffer, uint64_t size);
