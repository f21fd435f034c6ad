#include "app/key_bindings.h"

#include <gtest/gtest.h>

#include <cstring>

#include "app/commands.h"

namespace {

// What a script's "key" command finds: the accelerator table's command.
uint32_t command_of(const char* combo) {
    uint32_t key = 0, modifiers = 0;
    if (!parse_key_combo(combo, std::strlen(combo), &key, &modifiers)) return 0;
    return accelerator_command_id(key, modifiers);
}

// The keys the end-to-end cases press (levels, Back, Forward, F3, Open from
// Clipboard, close) are left to them.
TEST(KeyBindings, CombinationsFindTheAcceleratorsCommand) {
    const struct { const char* combo; uint32_t command_id; } cases[] = {
        {"mod+shift+c", 1014}, {"MOD+C", 1013},       {"alt+mod+c", 1015},    {"alt+3", 1024},
        {"mod+g", 1018},       {"mod+shift+g", 1019}, {"f5", 1004},           {"mod+r", 1004},
        {"mod+=", 1008},       {"mod+shift+=", 1008}, {"mod+-", 1009},        {"mod+0", 1010},
        {"mod+1", 1011},       {"mod+2", 1012},       {"alt+0", NO_COMMAND},  {"mod+alt+1", NO_COMMAND},
        {"c", NO_COMMAND},     {"up", NO_COMMAND},    {"shift+alt+c", NO_COMMAND},
    };
    for (const auto& c : cases) EXPECT_EQ(command_of(c.combo), c.command_id) << c.combo;
}

TEST(KeyBindings, BadCombinationsAreRefused) {
    for (const char* combo : {"", "mod+", "+c", "ctrl+c", "mod+cc", "f4", "mod++", "mod+shift"}) {
        uint32_t key = 0, modifiers = 0;
        EXPECT_FALSE(parse_key_combo(combo, std::strlen(combo), &key, &modifiers)) << combo;
    }
}

}  // namespace
