#include "app/key_bindings.h"

#include "app/commands.h"
#include "base/ascii.h"
#include "views/view_state.h"

namespace {

using namespace KeyModifier;

const uint32_t MODIFIER_ORDER[] = {0, Shift, Alt, Ctrl, Ctrl | Shift, Ctrl | Alt, Alt | Shift, Ctrl | Alt | Shift};

const uint32_t PUNCTUATION_ORDER[] = {VirtualKey::OpenBracket, VirtualKey::CloseBracket, VirtualKey::Equals,
                                      VirtualKey::Minus, VirtualKey::F3, VirtualKey::F5};
// The extra keys, in the order they close the accelerator table.
const uint32_t EXTRA_ORDER[] = {VirtualKey::Add, VirtualKey::Subtract, VirtualKey::Numpad0, VirtualKey::Equals};

struct NamedKey {
    const char* name;
    uint32_t key;
};

const NamedKey KEY_NAMES[] = {
    {"up", VirtualKey::Up},         {"down", VirtualKey::Down},         {"left", VirtualKey::Left},
    {"right", VirtualKey::Right},   {"pageup", VirtualKey::PageUp},     {"pagedown", VirtualKey::PageDown},
    {"home", VirtualKey::Home},     {"end", VirtualKey::End},           {"space", VirtualKey::Space},
    {"return", VirtualKey::Return}, {"esc", VirtualKey::Escape},        {"f3", VirtualKey::F3},
    {"f5", VirtualKey::F5},         {"-", VirtualKey::Minus},           {"=", VirtualKey::Equals},
    {"[", VirtualKey::OpenBracket}, {"]", VirtualKey::CloseBracket},
};

const NamedKey MODIFIER_NAMES[] = {{"mod", Ctrl}, {"shift", Shift}, {"alt", Alt}};

struct ListKey {
    uint32_t key;
    uint32_t view_key;
};

const ListKey LIST_KEYS[] = {
    {VirtualKey::Up, ViewKey::Up},         {VirtualKey::Down, ViewKey::Down},
    {VirtualKey::Left, ViewKey::Left},     {VirtualKey::Right, ViewKey::Right},
    {VirtualKey::PageUp, ViewKey::PageUp}, {VirtualKey::PageDown, ViewKey::PageDown},
    {VirtualKey::Home, ViewKey::Home},     {VirtualKey::End, ViewKey::End},
    {VirtualKey::Space, ViewKey::Space},   {VirtualKey::Return, ViewKey::Enter},
    {VirtualKey::Escape, ViewKey::Escape}, {VirtualKey::F3, ViewKey::F3},
    {VirtualKey::F5, ViewKey::F5},
};

// Whether text[0, length) is `name`, without case.
bool names(const char* text, uint64_t length, const char* name) {
    uint64_t i = 0;
    for (; i < length && name[i]; i++) {
        if (fold_ascii(text[i]) != name[i]) return false;
    }
    return i == length && name[i] == 0;
}

uint32_t key_of_name(const char* text, uint64_t length) {
    if (length == 1) {
        char c = fold_ascii(text[0]);
        if (c >= 'a' && c <= 'z') return static_cast<uint32_t>(c - 32);
        if (c >= '0' && c <= '9') return static_cast<uint32_t>(c);
    }
    for (const NamedKey& named : KEY_NAMES) {
        if (names(text, length, named.name)) return named.key;
    }
    return 0;
}

}  // namespace

uint32_t bound_command_id(uint32_t key, uint32_t modifiers, bool extra) {
    uint32_t count = 0;
    const Command* table = command_table(&count);
    for (uint32_t i = 0; i < count; i++) {
        const Command& command = table[i];
        for (const CommandKey& bound : command.keys) {
            if (bound.key == 0 || (bound.extra != 0) != extra || bound.modifiers != modifiers) continue;
            if (key >= bound.key && key - bound.key < command.count) return command.id + (key - bound.key);
        }
    }
    return NO_COMMAND;
}

uint32_t build_accelerator_table(Accelerator* entries, uint32_t capacity) {
    uint32_t count = 0;
    auto add_key = [&](uint32_t key, bool extra) {
        for (uint32_t modifiers : MODIFIER_ORDER) {
            uint32_t id = bound_command_id(key, modifiers, extra);
            if (id != NO_COMMAND && count < capacity) entries[count++] = Accelerator{key, modifiers, id};
        }
    };
    for (uint32_t key = 'A'; key <= 'Z'; key++) add_key(key, false);
    for (uint32_t key = '0'; key <= '9'; key++) add_key(key, false);
    for (uint32_t key : PUNCTUATION_ORDER) add_key(key, false);
    for (uint32_t key : EXTRA_ORDER) add_key(key, true);
    return count;
}

uint32_t accelerator_command_id(uint32_t key, uint32_t modifiers) {
    Accelerator table[ACCELERATOR_TABLE_SIZE];
    uint32_t count = build_accelerator_table(table, ACCELERATOR_TABLE_SIZE);
    for (uint32_t i = 0; i < count; i++) {
        if (table[i].key == key && table[i].modifiers == modifiers) return table[i].command_id;
    }
    return NO_COMMAND;
}

bool parse_key_combo(const char* text, uint64_t length, uint32_t* key, uint32_t* modifiers) {
    uint32_t held = 0;
    uint64_t start = 0;
    // Every word before the last "+" is a modifier; "+" itself is no key name,
    // so the key is always the text after the last one.
    for (uint64_t i = 0; i < length; i++) {
        if (text[i] != '+') continue;
        uint32_t modifier = 0;
        for (const NamedKey& named : MODIFIER_NAMES) {
            if (names(text + start, i - start, named.name)) modifier = named.key;
        }
        if (modifier == 0) return false;
        held |= modifier;
        start = i + 1;
    }
    uint32_t found = key_of_name(text + start, length - start);
    if (found == 0) return false;
    *key = found;
    *modifiers = held;
    return true;
}

uint32_t view_key_of(uint32_t key) {
    for (const ListKey& entry : LIST_KEYS) {
        if (entry.key == key) return entry.view_key;
    }
    return 0;
}
