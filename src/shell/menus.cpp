#include "shell/menus.h"

#include <cstring>

#include "app/doc_window.h"
#include "app/menu_model.h"
#include "base/memory.h"
#include "base/wide_text_win.h"
#include "shell/doc_frame.h"

namespace {

constexpr uint32_t MENU_DEPTH_MAX = 4;
constexpr UINT MENU_TEXT_UNITS = 1200;  // a recent file's label fits, with its terminator

bool append_item(HMENU parent, const MenuItem& item, HMENU submenu) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    if (item.kind == MenuItemKind::Separator) {
        info.fMask = MIIM_FTYPE;
        info.fType = MFT_SEPARATOR;
        return InsertMenuItemW(parent, static_cast<UINT>(GetMenuItemCount(parent)), TRUE, &info) != 0;
    }
    wchar_t* text = utf8_to_utf16(item.text, std::strlen(item.text));
    if (!text) return false;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING | (submenu ? MIIM_SUBMENU : 0);
    info.fType = MFT_STRING | (item.mark == MenuMark::Radio ? MFT_RADIOCHECK : 0);
    info.fState = (item.grayed ? MFS_GRAYED : 0) | (item.mark != MenuMark::None ? MFS_CHECKED : 0);
    info.wID = item.id;
    info.hSubMenu = submenu;
    info.dwTypeData = text;
    bool added = InsertMenuItemW(parent, static_cast<UINT>(GetMenuItemCount(parent)), TRUE, &info) != 0;
    mem_free(text);
    return added;
}

// The model's items in reading order, each submenu's items one level deeper
// right after it. nullptr when any part cannot be made.
HMENU create_popup(const Menu* menu) {
    HMENU levels[MENU_DEPTH_MAX] = {CreatePopupMenu()};
    if (!levels[0]) return nullptr;
    for (uint32_t i = 0; i < menu->count; i++) {
        const MenuItem& item = menu->items[i];
        bool nested = item.kind == MenuItemKind::Submenu;
        if (item.depth + (nested ? 1u : 0u) >= MENU_DEPTH_MAX || !levels[item.depth]) {
            DestroyMenu(levels[0]);
            return nullptr;
        }
        HMENU submenu = nested ? CreatePopupMenu() : nullptr;
        if ((nested && !submenu) || !append_item(levels[item.depth], item, submenu)) {
            // A submenu that was never attached is not destroyed with the menu.
            if (submenu) DestroyMenu(submenu);
            DestroyMenu(levels[0]);
            return nullptr;
        }
        if (nested) levels[item.depth + 1] = submenu;
    }
    return levels[0];
}

bool read_back(HMENU menu, uint8_t depth, void (*line)(void* sink, const MenuItem* item), void* sink) {
    int count = GetMenuItemCount(menu);
    if (count < 0) return false;
    wchar_t text[MENU_TEXT_UNITS];
    for (int i = 0; i < count; i++) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = MENU_TEXT_UNITS;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) return false;
        MenuItem item{};
        item.depth = depth;
        item.grayed = (info.fState & MFS_GRAYED) ? 1 : 0;
        if (info.fState & MFS_CHECKED) item.mark = (info.fType & MFT_RADIOCHECK) ? MenuMark::Radio : MenuMark::Check;
        char* utf8 = nullptr;
        if (info.fType & MFT_SEPARATOR) {
            item.kind = MenuItemKind::Separator;
            item.text = "";
        } else {
            item.kind = info.hSubMenu ? MenuItemKind::Submenu : MenuItemKind::Command;
            item.id = info.hSubMenu ? 0 : info.wID;
            utf8 = utf16_to_utf8(text, info.cch);
            if (!utf8) return false;
            item.text = utf8;
        }
        line(sink, &item);
        mem_free(utf8);
        if (info.hSubMenu && !read_back(info.hSubMenu, static_cast<uint8_t>(depth + 1), line, sink)) return false;
    }
    return true;
}

// TrackPopupMenuEx runs a modal loop in which the window may close; the
// choice runs only when the same window is still there.
void show_menu(DocWindow* doc, void (*build)(const DocWindow*, Menu*), UINT flags, int x, int y) {
    HWND owner = doc_frame_handle(doc);
    if (!owner) return;
    Menu* menu = mem_alloc_array<Menu>(1);
    if (!menu) return;
    build(doc, menu);
    if (HMENU popup = create_popup(menu)) {
        UINT id = static_cast<UINT>(TrackPopupMenuEx(popup, flags | TPM_RETURNCMD | TPM_NONOTIFY, x, y, owner, nullptr));
        DestroyMenu(popup);
        if (id != 0 && find_doc_window(owner) == doc) run_menu_choice(doc, menu, id);
    }
    mem_free(menu);
}

}  // namespace

void show_list_menu(DocWindow* window, int x, int y) {
    if (window->view) show_menu(window, build_list_menu, TPM_RIGHTBUTTON | TPM_LEFTALIGN, x, y);
}

void show_main_menu(DocWindow* window, int x, int y) {
    show_menu(window, build_main_menu, TPM_RIGHTALIGN | TPM_TOPALIGN, x, y);
}

void show_scope_menu(DocWindow* window, int x, int y) {
    show_menu(window, build_scope_menu, TPM_LEFTALIGN | TPM_TOPALIGN, x, y);
}

bool dump_real_menu(void*, const Menu* menu, void (*line)(void* sink, const MenuItem* item), void* sink) {
    HMENU popup = create_popup(menu);
    if (!popup) return false;
    bool read = read_back(popup, 0, line, sink);
    DestroyMenu(popup);
    return read;
}
