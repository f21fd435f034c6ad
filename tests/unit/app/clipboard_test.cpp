#include "app/clipboard.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/commands.h"
#include "base/memory.h"
#include "test_host.h"
#include "views/view_state.h"

namespace {

void go_to(DocWindow* window, const char* path) { ASSERT_TRUE(submit_go_to_path(window, path, std::strlen(path))); }

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

// The clipboard texts of every command are in the end-to-end copy case; here,
// the flash each kind leaves, and a decoded zero that ends the text.
TEST(CopySelection, EachKindFlashes) {
    struct Case { const char* select; uint32_t command_id; std::string clipboard; const char* flash; } cases[] = {
        {"$.a[1].b", 1101, ".a[1].b", "Copied path"},
        {"$.a[1]", 1015, "{\n  \"b\": \"x\\u0000y\"\n}", "Copied JSON"},
        {"$.a[1].b", 1013, "x", "Copied value"},
    };
    TestHost host;
    DocWindow* window = host.open_text("{\"a\":[1,{\"b\":\"x\\u0000y\"}]}");
    for (const Case& c : cases) {
        go_to(window, c.select);
        run_command(window, c.command_id);
        EXPECT_EQ(host.clipboard, c.clipboard) << c.select << " " << c.command_id;
        EXPECT_STREQ(window->flash_text, c.flash);
        EXPECT_TRUE(host.timer_running(window, DocTimer::Flash));
    }
}

TEST(CopySelection, FailuresAreReported) {
    TestHost host;
    DocWindow* window = host.open_text("[1]");
    host.clipboard_refuses = true;
    run_command(window, 1013);
    host.clipboard_refuses = false;
    mem_test_fail_at(1, true);
    run_command(window, 1015);
    mem_test_fail_at(0);
    ASSERT_EQ(host.lines.size(), 2u);
    EXPECT_EQ(host.lines[0], "copy-error=Could not copy: the clipboard is busy or the text is too big.");
    EXPECT_EQ(host.lines[1], "copy-error=Could not copy: there is not enough memory.");
}

// Beyond the end-to-end case: blanks are empty, and several values with a
// broken one are accepted. A whole session's allocation failures, clipboard
// open included, are swept in the script host's test.
TEST(OpenFromClipboard, BlanksAreEmptyAndRecordsAreAccepted) {
    TestHost blank(true);
    blank.open_text("  \n");
    EXPECT_EQ(blank.window_count(), 0u);
    EXPECT_EQ(blank.lines, std::vector<std::string>{"message=The clipboard does not hold JSON: it is empty (line 1, column 1)."});
    TestHost records(true);
    records.open_text("1 2 x");
    EXPECT_EQ(records.window_count(), 1u);
    EXPECT_TRUE(records.lines.empty());
}

}  // namespace
