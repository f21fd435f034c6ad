#include "app/key_bindings.h"

#include <gtest/gtest.h>

#include <cstring>

#include "app/commands.h"

namespace {

// What a script's "key" command finds: case is ignored, and the modifiers
// must match exactly.
TEST(KeyBindings, CombinationsFindTheAcceleratorsCommand) {
    const struct { const char* combo; uint32_t command_id; } cases[] = {
        {"MOD+C", 1013}, {"alt+mod+c", 1015}, {"f5", 1004}, {"mod+r", 1004}, {"mod+=", 1008}, {"mod+shift+=", 1008},
        {"alt+0", NO_COMMAND}, {"mod+alt+1", NO_COMMAND}, {"c", NO_COMMAND}, {"shift+alt+c", NO_COMMAND},
    };
    for (const auto& c : cases) {
        uint32_t key = 0, modifiers = 0;
        ASSERT_TRUE(parse_key_combo(c.combo, std::strlen(c.combo), &key, &modifiers)) << c.combo;
        EXPECT_EQ(accelerator_command_id(key, modifiers), c.command_id) << c.combo;
    }
    for (const char* combo : {"", "mod+", "+c", "mod+cc", "f4", "mod++", "mod+shift"}) {
        uint32_t key = 0, modifiers = 0;
        EXPECT_FALSE(parse_key_combo(combo, std::strlen(combo), &key, &modifiers)) << combo;
    }
}

}  // namespace
