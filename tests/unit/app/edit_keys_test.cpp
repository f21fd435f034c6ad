#include "app/edit_keys.h"

#include <gtest/gtest.h>

#include "app/key_bindings.h"
#include "views/view_state.h"

namespace {

constexpr uint32_t CTRL = KeyModifier::Ctrl;
constexpr uint32_t SHIFT = KeyModifier::Shift;
constexpr uint32_t ALT = KeyModifier::Alt;

// Ctrl+C in the search box copies its text; Ctrl+Shift+C still copies the path.
TEST(EditKeys, ClipboardLettersStayOnlyWithoutShift) {
    for (uint32_t letter : {'A', 'C', 'V', 'X', 'Y', 'Z'}) {
        EXPECT_TRUE(edit_control_keeps_key(letter, CTRL)) << static_cast<char>(letter);
        EXPECT_FALSE(edit_control_keeps_key(letter, CTRL | SHIFT)) << static_cast<char>(letter);
    }
    EXPECT_FALSE(edit_control_keeps_key('F', CTRL));
    EXPECT_FALSE(edit_control_keeps_key('L', CTRL));
}

TEST(EditKeys, CaretKeysStayWithOrWithoutShift) {
    for (uint32_t key : {VirtualKey::End, VirtualKey::Home, VirtualKey::Left, VirtualKey::Right}) {
        EXPECT_TRUE(edit_control_keeps_key(key, CTRL));
        EXPECT_TRUE(edit_control_keeps_key(key, CTRL | SHIFT));
    }
    EXPECT_FALSE(edit_control_keeps_key(VirtualKey::Up, CTRL));
}

TEST(EditKeys, NeedCtrlAndNoAlt) {
    EXPECT_FALSE(edit_control_keeps_key('C', 0));
    EXPECT_FALSE(edit_control_keeps_key(VirtualKey::Home, SHIFT));
    EXPECT_FALSE(edit_control_keeps_key('C', CTRL | ALT));
    EXPECT_FALSE(edit_control_keeps_key(VirtualKey::Left, CTRL | ALT | SHIFT));
}

}  // namespace
