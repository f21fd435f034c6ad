#include "app/clipboard.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "alloc_sweep.h"
#include "app/commands.h"
#include "base/memory.h"
#include "describe/json_writer.h"
#include "test_host.h"
#include "views/view_state.h"

namespace {

void go_to(DocWindow* window, const char* path) { ASSERT_TRUE(submit_go_to_path(window, path, std::strlen(path))); }

TEST(ClipboardForm, HoldsWhatTheUtf16RoundTripGivesBack) {
    struct Case {
        std::string text, form;
    } cases[] = {
        {"plain", "plain"},
        {"caf\xC3\xA9 \xF0\x9F\x98\x80", "caf\xC3\xA9 \xF0\x9F\x98\x80"},
        {std::string("a\0b", 3), "a"},
        {"\xFF" "x", "\xEF\xBF\xBD" "x"},
        {"\xE2\x82", "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    for (const Case& c : cases) {
        uint64_t length = 0;
        char* form = clipboard_form(c.text.data(), c.text.size(), &length);
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(std::string(form, length), c.form);
        mem_free(form);
    }
}

TEST(CopySelection, EachCommandCopiesAndFlashes) {
    struct Case {
        const char* select;
        uint32_t command_id;
        std::string clipboard;
        const char* flash;
    } cases[] = {
        {"$.a[0]", 1013, "1", "Copied value"},
        {"$.a[0]", 1016, "0", "Copied key"},
        {"$.a[1].b", 1016, "b", "Copied key"},
        {"$.a[1].b", 1014, "$.a[1].b", "Copied path"},
        {"$.a[1].b", 1101, ".a[1].b", "Copied path"},
        {"$.a[1].b", 1104, "/a/1/b", "Copied path"},
        {"$.a[1]", 1015, "{\n  \"b\": \"x\\u0000y\"\n}", "Copied JSON"},
        {"$.a", 1017, "[1,{\"b\":\"x\\u0000y\"}]", "Copied minified JSON"},
        // The decoded zero ends the text, as the clipboard would read it back.
        {"$.a[1].b", 1013, "x", "Copied value"},
        {"$.bad", 1013, "\xEF\xBF\xBD", "Copied value"},
    };
    TestHost host;
    DocWindow* window = host.open_text("{\"a\":[1,{\"b\":\"x\\u0000y\"}],\"bad\":\"\xFF\"}");
    for (const Case& c : cases) {
        go_to(window, c.select);
        run_command(window, c.command_id);
        EXPECT_EQ(host.clipboard, c.clipboard) << c.select << " " << c.command_id;
        EXPECT_STREQ(window->flash_text, c.flash);
        EXPECT_TRUE(host.timer_running(window, DocTimer::Flash));
    }
    EXPECT_TRUE(host.lines.empty());
}

TEST(CopySelection, RootWithoutAPathInTheStyleCopiesNothing) {
    TestHost host(true);
    DocWindow* window = host.open_text("[1]");
    host.clipboard = "before";
    run_command(window, CommandId::CopyPathAs + static_cast<uint32_t>(PathStyle::JsonPointer));
    EXPECT_EQ(host.clipboard, "before");
    EXPECT_STREQ(window->flash_text, "The root has no path in this style.");
    ASSERT_EQ(host.lines.size(), 1u);
    EXPECT_EQ(host.lines[0], "message=The root has no path in this style.");
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

TEST(CopySelection, TextViewCopiesTheSelectedLines) {
    TestHost host;
    DocWindow* window = host.open_text("{\n\"a\": 1,\n\"b\": 2\n}");
    run_command(window, command_id_of_index(CommandIndex::Text));
    host.pump();
    click_row(window->view, 1, false, 0);
    click_row(window->view, 2, false, KeyModifier::Shift);
    run_command(window, 1013);
    EXPECT_EQ(host.clipboard, "\"a\": 1,\n\"b\": 2");
    EXPECT_STREQ(window->flash_text, "Copied lines");
}

// Pretty JSON of n nested arrays indents quadratically, so a text of 23 KB
// copies as more than 256 MiB.
TEST(CopySelection, MoreThan256MiBIsConfirmedFirst) {
    TestHost host;
    const uint32_t depth = 11600;
    DocWindow* window = host.open_text(std::string(depth, '[') + std::string(depth, ']'));
    uint64_t size = json_text_length(document(window->view), 0, true);
    ASSERT_GT(size, COPY_CONFIRM_BYTES);
    host.clipboard = "before";
    run_command(window, 1015);
    EXPECT_EQ(host.clipboard, "before");
    EXPECT_EQ(window->flash_text[0], 0);
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(host.questions[0], "Copy 256.7 MB to the clipboard?");
    host.answers.push_back(true);
    run_command(window, 1015);
    EXPECT_EQ(host.clipboard.size(), size);
    EXPECT_STREQ(window->flash_text, "Copied JSON");
    run_command(window, 1017);  // minified: 23 KB, no question
    EXPECT_EQ(host.questions.size(), 2u);
}

TEST(OpenFromClipboard, AcceptsValuesWithoutProblemsAndRecordsWithThem) {
    struct Case {
        bool has_text;
        std::string text;
        const char* line;  // nullptr: accepted
    } cases[] = {
        {false, "", "message=The clipboard does not hold JSON: it is empty (line 1, column 1)."},
        {true, "  \n", "message=The clipboard does not hold JSON: it is empty (line 1, column 1)."},
        {true, "{\"a\":\n  1,", "message=The clipboard does not hold JSON: unexpected end of file (line 2, column 5)."},
        {true, "{\"a\":1}\n{bad\n", nullptr},
        {true, "1 2 x", nullptr},
        {true, "[1]", nullptr},
    };
    for (const Case& c : cases) {
        TestHost host(true);
        host.has_clipboard = c.has_text;
        host.clipboard = c.text;
        open_from_clipboard(&host.app, nullptr);
        host.pump();
        if (c.line) {
            EXPECT_EQ(host.window_count(), 0u) << c.text;
            ASSERT_EQ(host.lines.size(), 1u) << c.text;
            EXPECT_EQ(host.lines[0], c.line);
        } else {
            ASSERT_EQ(host.window_count(), 1u) << c.text;
            EXPECT_TRUE(host.lines.empty()) << c.text;
            EXPECT_EQ(host.title(host.window_at(0)), "Clipboard 1 - Tarnwell");
            EXPECT_EQ(host.window_at(0)->path, nullptr);
        }
    }
}

TEST(OpenFromClipboard, NumbersWindowsAndReusesOnlyAStartPage) {
    TestHost host;
    DocWindow* start = create_doc_window(&host.app, true);
    host.clipboard = "[1]";
    host.has_clipboard = true;
    open_from_clipboard(&host.app, start);
    host.pump();
    EXPECT_EQ(host.window_count(), 1u);
    EXPECT_EQ(host.title(start), "Clipboard 1 - Tarnwell");
    open_from_clipboard(&host.app, start);
    host.pump();
    ASSERT_EQ(host.window_count(), 2u);
    close_doc_window(host.window_at(1));
    open_from_clipboard(&host.app, nullptr);
    host.pump();
    EXPECT_EQ(host.title(host.window_at(0)), "Clipboard 3 - Tarnwell");
    EXPECT_EQ(host.title(host.window_at(1)), "Clipboard 2 - Tarnwell");
}

TEST(OpenFromClipboard, SurvivesEveryAllocationFailure) {
    uint64_t allocations = sweep_allocation_failures([](uint64_t) {
        TestHost host;
        DocWindow* window = host.open_text("{\"a\":[1,2]}");
        if (window) run_command(window, 1015);
    });
    EXPECT_GT(allocations, 10u);
}

}  // namespace
