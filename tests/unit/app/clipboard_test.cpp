#include "app/clipboard.h"

#include <gtest/gtest.h>

#include <string>

#include "app/commands.h"
#include "base/memory.h"
#include "test_host.h"

namespace {

// Bad bytes become U+FFFD as TextBuilder's repair makes them; a zero ends
// the text, as it would end the UTF-16 one.
TEST(ClipboardForm, HoldsWhatTheUtf16RoundTripGivesBack) {
    struct Case { std::string text, form; } cases[] = {{std::string("a\0b", 3), "a"}, {"\xFF" "x", "\xEF\xBF\xBD" "x"}};
    for (const Case& c : cases) {
        uint64_t length = 0;
        char* form = clipboard_form(c.text.data(), c.text.size(), &length);
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(std::string(form, length), c.form);
        mem_free(form);
    }
}

TEST(CopySelection, FailuresAreReported) {
    TestHost host;
    DocWindow* window = host.open_text("[1]");
    host.clipboard_refuses = true;
    run_command(window, CommandId::CopyValue);
    host.clipboard_refuses = false;
    mem_test_fail_at(1, true);
    run_command(window, CommandId::CopyJson);
    mem_test_fail_at(0);
    ASSERT_EQ(host.lines.size(), 2u);
    EXPECT_EQ(host.lines[0], "copy-error=Could not copy: the clipboard is busy or the text is too big.");
    EXPECT_EQ(host.lines[1], "copy-error=Could not copy: there is not enough memory.");
}

}  // namespace
