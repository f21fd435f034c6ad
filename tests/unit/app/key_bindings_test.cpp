// The tables derived from the command table: the accelerator table, the keys
// that script combinations press, and the script commands that send an id.
#include "app/key_bindings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/commands.h"
#include "script/script_command.h"
#include "views/view_state.h"

namespace {

using namespace KeyModifier;
using namespace VirtualKey;

std::string key_name(uint32_t key) {
    static const std::map<uint32_t, std::string> names = {{OpenBracket, "["}, {CloseBracket, "]"}, {Equals, "="},
                                                          {Minus, "-"}, {F3, "F3"}, {F5, "F5"}};
    auto named = names.find(key);
    return named != names.end() ? named->second : std::string(1, static_cast<char>(key));
}

// How menus write a combination: "Shift+", "Alt+", "Ctrl+", then the key.
std::string shortcut_text(const CommandKey& bound, uint32_t offset) {
    std::string text;
    if (bound.modifiers & Shift) text += "Shift+";
    if (bound.modifiers & Alt) text += "Alt+";
    if (bound.modifiers & Ctrl) text += "Ctrl+";
    return text + key_name(bound.key + offset);
}

// Every default key runs its own command, no key runs two, the accelerator
// table holds all 37 of them, and a menu shows the first key as its shortcut.
TEST(CommandTable, EveryKeyRoundTripsAndMenusShowTheFirstKey) {
    uint32_t count = 0;
    const Command* table = command_table(&count);
    std::map<std::pair<uint32_t, uint32_t>, uint32_t> bound_ids;
    for (uint32_t row = 0; row < count; row++) {
        const Command& command = table[row];
        if (row > 0) EXPECT_GT(command.id, table[row - 1].id + table[row - 1].count - 1) << command.id;
        EXPECT_NE(command.about_windows != 0, command.run != nullptr) << command.id;
        for (const CommandKey& bound : command.keys) {
            if (bound.key == 0) continue;
            for (uint32_t offset = 0; offset < command.count; offset++) {
                uint32_t id = command.id + offset;
                EXPECT_EQ(accelerator_command_id(bound.key + offset, bound.modifiers), id) << id;
                EXPECT_TRUE(bound_ids.emplace(std::make_pair(bound.key + offset, bound.modifiers), id).second) << id;
            }
        }
        const char* tab = command.menu_text ? std::strchr(command.menu_text, '\t') : nullptr;
        if (command.keys[0].key != 0 && command.menu_text) {
            ASSERT_NE(tab, nullptr) << command.menu_text;
            EXPECT_EQ(tab + 1, shortcut_text(command.keys[0], 0)) << command.id;
        }
    }
    EXPECT_EQ(bound_ids.size(), 37u);
    Accelerator accelerators[ACCELERATOR_TABLE_SIZE];
    EXPECT_EQ(build_accelerator_table(accelerators, ACCELERATOR_TABLE_SIZE), 37u);
    // The keys no menu shows (the menus' shortcuts are in the end-to-end menu cases).
    const Accelerator unshown[] = {
        {F5, 0, CommandId::Reload},
        {'G', Ctrl, CommandId::FindNext},
        {'G', Ctrl | Shift, CommandId::FindPrevious},
        {Add, Ctrl, CommandId::BiggerText},
        {Equals, Ctrl | Shift, CommandId::BiggerText},
        {Subtract, Ctrl, CommandId::SmallerText},
        {Numpad0, Ctrl, CommandId::ActualSize},
    };
    for (const Accelerator& a : unshown) EXPECT_EQ(accelerator_command_id(a.key, a.modifiers), a.command_id) << a.key;
    EXPECT_EQ(accelerator_command_id('C', Alt), NO_COMMAND);
    EXPECT_EQ(view_key_of(Escape), ViewKey::Escape);
}

ScriptCommand parsed(const std::string& text, const char** error) {
    ScriptReader reader = script_reader(text.data(), text.size());
    ScriptLine line;
    EXPECT_TRUE(next_script_line(&reader, &line)) << text;
    ScriptCommand command;
    *error = parse_script_command(&line, &command);
    return command;
}

// Each script name sends its row's id ("level n" the n-th of its range), and a
// number outside the range is refused.
TEST(CommandTable, ScriptNamesSendTheirIds) {
    uint32_t count = 0;
    const Command* table = command_table(&count);
    uint32_t named = 0;
    for (uint32_t row = 0; row < count; row++) {
        const Command& command = table[row];
        if (!command.script_name) continue;
        named++;
        for (uint32_t n = 1; n <= command.count; n++) {
            std::string line = command.script_name;
            if (command.count > 1) line += " " + std::to_string(n);
            const char* error = nullptr;
            ScriptCommand sent = parsed(line, &error);
            ASSERT_EQ(error, nullptr) << line;
            EXPECT_EQ(sent.action, ScriptAction::SendCommand) << line;
            EXPECT_EQ(sent.command_id, command.id + n - 1) << line;
        }
        if (command.count > 1) {
            const char* error = nullptr;
            parsed(std::string(command.script_name) + " " + std::to_string(command.count + 1), &error);
            EXPECT_STREQ(error, SCRIPT_BAD_ARGUMENTS) << command.script_name;
        }
    }
    EXPECT_EQ(named, 23u);
}

}  // namespace
