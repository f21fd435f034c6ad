// The command table: every command once, with its id, script name, menu text,
// default keys, what it needs and its handler. The key bindings, the
// accelerator table, the script commands that send an id and the menus are
// all derived from it, so a menu choice, its shortcut and its script command
// run the same command.
//
// Ids are what menus and accelerators carry (WM_COMMAND on Windows). A row
// may stand for a range of ids numbered from its first (the nine levels, the
// ten recent files); its handler then gets the id's place in the range added
// to its argument.
#pragma once

#include <cstdint>

struct DocWindow;

constexpr uint32_t NO_COMMAND = 0xFFFFFFFF;

namespace CommandId {
constexpr uint32_t Open = 1001;
constexpr uint32_t OpenFromClipboard = 1002;
constexpr uint32_t Close = 1003;
constexpr uint32_t Reload = 1004;
constexpr uint32_t Find = 1005;
constexpr uint32_t GoToPath = 1006;
constexpr uint32_t Inspector = 1007;
constexpr uint32_t BiggerText = 1008;
constexpr uint32_t SmallerText = 1009;
constexpr uint32_t ActualSize = 1010;
constexpr uint32_t Tree = 1011;
constexpr uint32_t Text = 1012;
constexpr uint32_t CopyValue = 1013;
constexpr uint32_t CopyPath = 1014;
constexpr uint32_t CopyJson = 1015;
constexpr uint32_t CopyKey = 1016;
constexpr uint32_t CopyMinifiedJson = 1017;
constexpr uint32_t FindNext = 1018;
constexpr uint32_t FindPrevious = 1019;
constexpr uint32_t ExpandAll = 1020;
constexpr uint32_t CollapseAll = 1021;
constexpr uint32_t ExpandToLevel = 1022;  // + level - 1, levels 1-9
constexpr uint32_t Back = 1031;
constexpr uint32_t Forward = 1032;
constexpr uint32_t NextProblem = 1033;
constexpr uint32_t CopyPathAs = 1100;    // + PathStyle 0-4
constexpr uint32_t SetPathStyle = 1110;  // + PathStyle 0-3
constexpr uint32_t OpenRecent = 1120;    // + n, the n-th recent file, 0-9
constexpr uint32_t ExpandSubtree = 1140;
constexpr uint32_t CollapseSubtree = 1141;
constexpr uint32_t IndentGuides = 1142;
constexpr uint32_t Exit = 1143;
constexpr uint32_t ProblemBarNext = 1144;
constexpr uint32_t ProblemBarClose = 1145;
constexpr uint32_t ProblemBarShowInText = 1146;
constexpr uint32_t SetSearchScope = 1160;  // + SearchScope 0-2
}  // namespace CommandId

constexpr uint32_t EXPAND_LEVEL_COUNT = 9;
constexpr uint32_t SET_PATH_STYLE_COUNT = 4;

// A default key: a virtual-key code (key_bindings.h) and KeyModifier bits. The
// extra keys follow the enumerated ones at the end of the accelerator table
// and are not shown as a menu's shortcut.
struct CommandKey {
    uint32_t key;  // 0: none
    uint32_t modifiers;
    uint8_t extra;
};
constexpr uint32_t COMMAND_KEYS = 3;

struct Command {
    uint32_t id;     // the first id of the row
    uint32_t count;  // ids id .. id + count - 1
    // The script command that sends the id ("find-next", "copy value"), or
    // nullptr. A range's script command takes its place as a number from 1.
    const char* script_name;
    // UTF-8, the shortcut after a tab. A range numbers it with printf's %u
    // (once per occurrence); nullptr when the menu builds the text itself.
    const char* menu_text;
    // The first key is the one the menu text shows; in a range each key is
    // the first one's code plus the id's place in the range.
    CommandKey keys[COMMAND_KEYS];
    uint8_t needs_document;  // does nothing without a ViewState
    // About windows (dialogs, boxes, text sizes, closing): the host carries
    // it out, so `run` is nullptr.
    uint8_t about_windows;
    void (*run)(DocWindow* window, uint32_t argument);
    uint32_t argument;
};

// The whole table, in id order.
const Command* command_table(uint32_t* count);
// The row an id belongs to, or nullptr.
const Command* find_command(uint32_t id);
