// Reading one script line into a ScriptCommand: the table of commands and the
// argument rules of each.
#include "script/script_command.h"

#include <cstring>

#include "app/commands.h"
#include "app/key_bindings.h"
#include "search/matcher.h"
#include "views/view_state.h"

const char SCRIPT_BAD_ARGUMENTS[] = "unknown command or bad arguments";
const char SCRIPT_WRITE_FAILED[] = "write: the file could not be copied";
const char SCRIPT_REMOVE_FAILED[] = "remove: the file could not be deleted";
const char SCRIPT_OUT_OF_MEMORY[] = "out of memory";

namespace {

const char CLICK_USAGE[] = "click <row> [chevron] [alt] [shift]";
const char WRITE_USAGE[] = "write <file> <source>, both under build/tmp/ or tests/samples/";
const char REMOVE_USAGE[] = "remove <file>, under build/tmp/";
const char NOT_A_KEY_COMBO[] = "not a key combo";
const char COPY_WHAT[] = "copy what?";
const char DUMP_WHAT[] = "dump what?";


// Commands whose argument is the rest of the line, as written.
struct TextCommand {
    const char* name;
    ScriptAction action;
    bool may_be_empty;
};

const TextCommand TEXT_COMMANDS[] = {
    {"open", ScriptAction::Open, false},   {"clip", ScriptAction::Clip, true},
    {"type", ScriptAction::Type, false},   {"goto", ScriptAction::Goto, false},
    {"answer", ScriptAction::Answer, false},
};

struct NamedDump {
    const char* name;
    ScriptDump dump;
    uint32_t word_count;  // of the whole command
};

const NamedDump DUMPS[] = {
    {"rows", ScriptDump::Rows, 4},
    {"state", ScriptDump::State, 2},
    {"inspector", ScriptDump::Inspector, 2},
    {"clipboard", ScriptDump::Clipboard, 2},
    {"clipboard-size", ScriptDump::ClipboardSize, 2},
    {"menu", ScriptDump::Menu, 2},
    {"reloads", ScriptDump::Reloads, 2},
    {"question", ScriptDump::Question, 2},
    {"windows", ScriptDump::Windows, 2},
};

// The entry whose name is the word, or nullptr.
template <typename Entry, size_t N>
const Entry* find_named(const Entry (&table)[N], ScriptWord word, bool ignore_case = false) {
    for (const Entry& entry : table) {
        if (script_word_is(word, entry.name, ignore_case)) return &entry;
    }
    return nullptr;
}

bool word_equals(ScriptWord word, const char* text, size_t length) {
    return word.length == length && std::memcmp(word.text, text, length) == 0;
}

// The command table's row whose script name is `first`, or `first` and
// `second` for a name of two words.
const Command* scripted_command(ScriptWord first, const ScriptWord* second) {
    uint32_t count = 0;
    const Command* table = command_table(&count);
    for (uint32_t i = 0; i < count; i++) {
        const char* name = table[i].script_name;
        if (!name) continue;
        const char* space = std::strchr(name, ' ');
        if (!word_equals(first, name, space ? static_cast<size_t>(space - name) : std::strlen(name))) continue;
        if (!space ? !second : second && word_equals(*second, space + 1, std::strlen(space + 1))) return &table[i];
    }
    return nullptr;
}

// Unsigned decimal without sign, at most 0xFFFFFFFF.
bool parse_number(ScriptWord word, uint32_t* value) {
    if (word.length == 0) return false;
    uint64_t result = 0;
    for (uint32_t i = 0; i < word.length; i++) {
        char c = word.text[i];
        if (c < '0' || c > '9') return false;
        result = result * 10 + static_cast<uint64_t>(c - '0');
        if (result > 0xFFFFFFFFull) return false;
    }
    *value = static_cast<uint32_t>(result);
    return true;
}

const char* parse_click(const ScriptLine* line, ScriptCommand* command) {
    if (line->word_count < 2 || line->more_words || !parse_number(line->words[1], &command->numbers[0])) {
        return CLICK_USAGE;
    }
    for (uint32_t i = 2; i < line->word_count; i++) {
        ScriptWord word = line->words[i];
        if (script_word_is(word, "chevron") && !command->on_chevron) command->on_chevron = true;
        else if (script_word_is(word, "alt") && !(command->modifiers & KeyModifier::Alt))
            command->modifiers |= KeyModifier::Alt;
        else if (script_word_is(word, "shift") && !(command->modifiers & KeyModifier::Shift))
            command->modifiers |= KeyModifier::Shift;
        else return CLICK_USAGE;
    }
    return nullptr;
}

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// The query is the argument text without its trailing flags; only the scope
// flags contradict each other.
const char* parse_search(const ScriptLine* line, ScriptCommand* command) {
    const char* text = line->argument;
    uint32_t length = line->argument_length;
    bool scope_given = false;
    for (;;) {
        while (length > 0 && is_blank(text[length - 1])) length--;
        uint32_t start = length;
        while (start > 0 && !is_blank(text[start - 1])) start--;
        ScriptWord word{text + start, length - start};
        bool keys = script_word_is(word, "/keys");
        if (script_word_is(word, "/case")) command->match_case = 1;
        else if (script_word_is(word, "/regex")) command->regex = 1;
        else if (keys || script_word_is(word, "/values")) {
            if (scope_given) return SCRIPT_BAD_ARGUMENTS;
            scope_given = true;
            command->scope = static_cast<uint8_t>(keys ? SearchScope::Keys : SearchScope::Values);
        } else break;
        length = start;
    }
    command->text = text;
    command->text_length = length;
    return nullptr;
}

// "copy" and "view" name their command with a second word.
const char* parse_named_command(const ScriptLine* line, ScriptCommand* command, const char* error) {
    const Command* named = line->word_count == 2 ? scripted_command(line->words[0], &line->words[1]) : nullptr;
    if (!named || line->more_words) return error;
    command->command_id = named->id;
    return nullptr;
}

const char* parse_copy(const ScriptLine* line, ScriptCommand* command) {
    return parse_named_command(line, command, COPY_WHAT);
}

const char* parse_view(const ScriptLine* line, ScriptCommand* command) {
    return parse_named_command(line, command, SCRIPT_BAD_ARGUMENTS);
}

const char* parse_dump(const ScriptLine* line, ScriptCommand* command) {
    const NamedDump* dump = line->word_count >= 2 ? find_named(DUMPS, line->words[1]) : nullptr;
    if (!dump) return DUMP_WHAT;
    if (line->word_count != dump->word_count || line->more_words) return SCRIPT_BAD_ARGUMENTS;
    if (dump->dump == ScriptDump::Rows &&
        (!parse_number(line->words[2], &command->numbers[0]) || !parse_number(line->words[3], &command->numbers[1]))) {
        return SCRIPT_BAD_ARGUMENTS;
    }
    command->dump = dump->dump;
    return nullptr;
}

const char* parse_write(const ScriptLine* line, ScriptCommand* command) {
    if (line->word_count != 3 || line->more_words) return WRITE_USAGE;
    ScriptWord target = line->words[1];
    ScriptWord source = line->words[2];
    if (!is_writable_script_path(target.text, target.length) || !is_writable_script_path(source.text, source.length)) {
        return WRITE_USAGE;
    }
    command->text = target.text;
    command->text_length = target.length;
    command->source = source.text;
    command->source_length = source.length;
    return nullptr;
}

bool starts_with(const char* text, uint32_t length, const char* prefix) {
    size_t prefix_length = std::strlen(prefix);
    return length >= prefix_length && std::memcmp(text, prefix, prefix_length) == 0;
}

// Only what the scripts made themselves may go: never a sample.
const char* parse_remove(const ScriptLine* line, ScriptCommand* command) {
    if (line->word_count != 2 || line->more_words) return REMOVE_USAGE;
    ScriptWord file = line->words[1];
    if (!starts_with(file.text, file.length, "build/tmp/") || !is_writable_script_path(file.text, file.length))
        return REMOVE_USAGE;
    command->text = file.text;
    command->text_length = file.length;
    return nullptr;
}

// Commands of exactly `word_count` words whose words after the first are numbers.
const char* parse_numbers(const ScriptLine* line, ScriptCommand* command, uint32_t word_count) {
    if (line->word_count != word_count || line->more_words) return SCRIPT_BAD_ARGUMENTS;
    for (uint32_t i = 1; i < word_count; i++) {
        if (!parse_number(line->words[i], &command->numbers[i - 1])) return SCRIPT_BAD_ARGUMENTS;
    }
    return nullptr;
}

const char* parse_key(const ScriptLine* line, ScriptCommand* command) {
    if (line->word_count != 2 || line->more_words) return SCRIPT_BAD_ARGUMENTS;
    ScriptWord combo = line->words[1];
    return parse_key_combo(combo.text, combo.length, &command->key, &command->modifiers) ? nullptr : NOT_A_KEY_COMBO;
}

const char* parse_crumb(const ScriptLine* line, ScriptCommand* command) { return parse_numbers(line, command, 2); }

// "level n" sends the n-th id of its range, from 1.
const char* parse_level(const ScriptLine* line, ScriptCommand* command) {
    const Command* range = scripted_command(line->words[0], nullptr);
    const char* error = parse_numbers(line, command, 2);
    uint32_t n = command->numbers[0];
    if (error || n < 1 || n > range->count) return SCRIPT_BAD_ARGUMENTS;
    command->command_id = range->id + n - 1;
    return nullptr;
}

const char* parse_wait(const ScriptLine* line, ScriptCommand* command) {
    const char* error = parse_numbers(line, command, 2);
    return error || command->numbers[0] == 0 ? SCRIPT_BAD_ARGUMENTS : nullptr;
}

// A screenshot's name becomes part of a file name: 1-127 letters, digits,
// ".", "_" and "-", never "..".
bool is_screenshot_name(ScriptWord name) {
    if (name.length == 0 || name.length > SCREENSHOT_NAME_MAX) return false;
    for (uint32_t i = 0; i < name.length; i++) {
        char c = name.text[i];
        bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                       c == '_' || c == '-';
        if (!allowed || (c == '.' && i + 1 < name.length && name.text[i + 1] == '.')) return false;
    }
    return true;
}

const char* parse_screenshot(const ScriptLine* line, ScriptCommand* command) {
    command->needs_windows = true;
    if (line->word_count != 2 || line->more_words || !is_screenshot_name(line->words[1])) return SCRIPT_BAD_ARGUMENTS;
    command->text = line->words[1].text;
    command->text_length = line->words[1].length;
    return nullptr;
}

const char* parse_resize(const ScriptLine* line, ScriptCommand* command) {
    command->needs_windows = true;
    return parse_numbers(line, command, 3);
}

// Commands with arguments of their own kind.
struct ParsedCommand {
    const char* name;
    ScriptAction action;
    const char* (*parse)(const ScriptLine* line, ScriptCommand* command);
};

const ParsedCommand PARSED_COMMANDS[] = {
    {"key", ScriptAction::Key, parse_key},
    {"click", ScriptAction::Click, parse_click},
    {"search", ScriptAction::Search, parse_search},
    {"crumb", ScriptAction::Crumb, parse_crumb},
    {"level", ScriptAction::SendCommand, parse_level},
    {"view", ScriptAction::SendCommand, parse_view},
    {"copy", ScriptAction::SendCommand, parse_copy},
    {"dump", ScriptAction::Dump, parse_dump},
    {"write", ScriptAction::Write, parse_write},
    {"remove", ScriptAction::Remove, parse_remove},
    {"wait", ScriptAction::Wait, parse_wait},
    {"screenshot", ScriptAction::Screenshot, parse_screenshot},
    {"resize", ScriptAction::Resize, parse_resize},
};

const char* parse_arguments(const ScriptLine* line, ScriptCommand* command) {
    ScriptWord name = line->words[0];
    bool single = line->word_count == 1;
    if (script_word_is(name, "quit")) {
        command->action = ScriptAction::Quit;
        return single ? nullptr : SCRIPT_BAD_ARGUMENTS;
    }
    if (script_word_is(name, "lose-device")) {
        command->action = ScriptAction::LoseDevice;
        command->needs_windows = true;
        return single ? nullptr : SCRIPT_BAD_ARGUMENTS;
    }
    if (const TextCommand* text = find_named(TEXT_COMMANDS, name)) {
        command->action = text->action;
        if (line->argument_length == 0 && !text->may_be_empty) return SCRIPT_BAD_ARGUMENTS;
        command->text = line->argument;
        command->text_length = line->argument_length;
        return nullptr;
    }
    for (const ParsedCommand& parsed : PARSED_COMMANDS) {
        if (!script_word_is(name, parsed.name)) continue;
        command->action = parsed.action;
        return parsed.parse(line, command);
    }
    // The rest send one command id and take no argument.
    const Command* simple = scripted_command(name, nullptr);
    if (!simple || simple->count != 1) return SCRIPT_BAD_ARGUMENTS;
    command->action = ScriptAction::SendCommand;
    command->command_id = simple->id;
    return single ? nullptr : SCRIPT_BAD_ARGUMENTS;
}

}  // namespace

const char* parse_script_command(const ScriptLine* line, ScriptCommand* command) {
    *command = ScriptCommand{};
    if (line->word_count == 0) return SCRIPT_BAD_ARGUMENTS;
    return parse_arguments(line, command);
}

bool is_writable_script_path(const char* path, uint32_t length) {
    if (!starts_with(path, length, "build/tmp/") && !starts_with(path, length, "tests/samples/")) return false;
    for (uint32_t i = 0; i + 1 < length; i++) {
        if (path[i] == '.' && path[i + 1] == '.') return false;
    }
    return true;
}
