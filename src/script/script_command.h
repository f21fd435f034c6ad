// The script language: one command per line, read into a ScriptCommand with
// its arguments checked, or refused with the text the error line carries.
#pragma once

#include <cstdint>

#include "script/script_reader.h"

// What a command does once its arguments are read.
enum class ScriptAction : uint8_t {
    SendCommand,  // run `command_id` in the target window
    Open,         // text: the path
    Clip,         // text: the clipboard text, its escapes not yet resolved
    Key,          // key, modifiers
    Type,         // text: the characters
    Click,        // numbers[0]: row; on_chevron; modifiers
    Search,       // text: the query; match_case, regex, scope
    Goto,         // text: the path
    Crumb,        // numbers[0]: the breadcrumb level
    Dump,         // dump; numbers: start and count of "rows"
    Write,        // text: the target; source
    Wait,         // numbers[0]: milliseconds
    Screenshot,   // text: the name
    Resize,       // numbers: width and height
    Answer,       // text: the button label
    Quit,
    LoseDevice,  // the next frame drawn finds its device lost
    Remove,  // text: the file
};

enum class ScriptDump : uint8_t { Rows, State, Inspector, Clipboard, ClipboardSize, Menu, Reloads, Question, Windows };

struct ScriptCommand {
    ScriptAction action;
    uint32_t command_id;
    uint32_t numbers[2];
    // Key: a virtual-key code (key_bindings.h); modifiers are KeyModifier bits
    // (also for Click).
    uint32_t key;
    uint32_t modifiers;
    bool on_chevron;
    uint8_t match_case;
    uint8_t regex;
    uint8_t scope;  // SearchScope
    ScriptDump dump;
    // Only the real windows can screenshot, resize or lose their device.
    bool needs_windows;
    const char* text;  // points into the script line, not terminated
    uint32_t text_length;
    const char* source;  // Write
    uint32_t source_length;
};

// The longest screenshot name, in bytes.
constexpr uint32_t SCREENSHOT_NAME_MAX = 127;

// Texts of the errors a script line can end with.
extern const char SCRIPT_BAD_ARGUMENTS[];  // "unknown command or bad arguments"
extern const char SCRIPT_WRITE_FAILED[];
extern const char SCRIPT_REMOVE_FAILED[];
extern const char SCRIPT_OUT_OF_MEMORY[];

// Reads a line's command. nullptr when it is well formed; otherwise the text
// of the error: the command's usage or what is wrong with it.
[[nodiscard]] const char* parse_script_command(const ScriptLine* line, ScriptCommand* command);

// The path rule of "write": under build/tmp/ or tests/samples/, without "..".
bool is_writable_script_path(const char* path, uint32_t length);
