// The pop-up menus of a document window, made from the portable menu model.
#pragma once

#include <windows.h>

struct DocWindow;
struct Menu;
struct MenuItem;

// The list's context menu, built from the window's state and shown at a
// screen point; the chosen command runs when the window still exists
// afterwards. Only with a Document.
void show_list_menu(DocWindow* window, int x, int y);
// The main menu, right-aligned at a screen point under the menu button.
void show_main_menu(DocWindow* window, int x, int y);
// The search scope's menu at a screen point.
void show_scope_menu(DocWindow* window, int x, int y);

// The host's dump_menu: makes the pop-up menu and hands its items, read back
// with GetMenuItemInfoW, to `line`.
bool dump_real_menu(void* context, const Menu* menu, void (*line)(void* sink, const MenuItem* item), void* sink);
