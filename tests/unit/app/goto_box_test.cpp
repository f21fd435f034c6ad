#include "app/goto_box.h"

#include <gtest/gtest.h>

#include <string>

#include "app/app_host.h"
#include "base/memory.h"
#include "test_host.h"

namespace {

std::string opening_text(const DocWindow* window) {
    uint64_t length = 0;
    char* text = go_to_box_text(window, &length);
    if (!text) return "(closed)";
    std::string copy(text, length);
    mem_free(text);
    return copy;
}

bool go_to(DocWindow* window, const std::string& path) { return submit_go_to_path(window, path.data(), path.size()); }

TEST(GoToBox, OpensWithTheSelectedPathInTheCurrentStyle) {
    TestHost host;
    DocWindow* window = host.open_text("{\"a\": {\"b\": [1, 2]}}");
    ASSERT_TRUE(go_to(window, "$.a.b[1]"));
    EXPECT_EQ(opening_text(window), "$.a.b[1]");
    host.app.settings.path_style = 1;  // jq
    EXPECT_EQ(opening_text(window), ".a.b[1]");

    DocWindow* start = create_doc_window(&host.app, true);
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(opening_text(start), "(closed)");
}

// The strip under the bar comes and goes with the message, so each change of
// it lays the window out again.
TEST(GoToBox, TheMessageLastsUntilAnEditOrTheBoxCloses) {
    TestHost host;
    DocWindow* window = host.open_text("{\"a\": 1}");
    go_to_box_opened(window);
    host.notices.clear();
    EXPECT_FALSE(go_to(window, "$.zz"));
    EXPECT_STRNE(window->goto_message, "");
    EXPECT_TRUE(window->goto_mode);
    EXPECT_TRUE(host.notices[window] & Notice::Layout);

    host.notices.clear();
    go_to_box_edited(window);
    EXPECT_STREQ(window->goto_message, "");
    EXPECT_TRUE(host.notices[window] & Notice::Layout);
    EXPECT_TRUE(window->goto_mode);

    EXPECT_FALSE(go_to(window, "$["));
    close_go_to_box(window);
    EXPECT_STREQ(window->goto_message, "");
    EXPECT_FALSE(window->goto_mode);

    go_to_box_opened(window);
    EXPECT_TRUE(go_to(window, "$.a"));
    EXPECT_FALSE(window->goto_mode);
}

}  // namespace
