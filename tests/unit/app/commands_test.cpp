#include "app/commands.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "test_host.h"
#include "views/view_state.h"

namespace {

// The subtree commands of the context menu have no script command.
TEST(RunCommand, SubtreeCommandsRepaintTheList) {
    TestHost host;
    DocWindow* window = host.open_text("{\"a\":{\"b\":{\"c\":1}},\"d\":[1,{\"e\":2}]}");
    submit_go_to_path(window, "$.d", 3);
    const std::pair<uint32_t, uint32_t> steps[] = {{CommandId::CollapseSubtree, 5}, {CommandId::ExpandSubtree, 8}};
    for (const auto& [id, rows] : steps) {
        host.notices.clear();
        run_command(window, id);
        EXPECT_EQ(visible_row_count(window->view), rows) << id;
        EXPECT_TRUE(host.notices[window] & Notice::List) << id;
    }
}

// A text view build starts once, and never while one runs or a text view is held.
TEST(RunCommand, TextViewBuildsOnlyWhenNeeded) {
    TestHost host;
    DocWindow* window = host.open_text("{\"a\": [1, 2]}");
    run_command(window, CommandId::Text);
    run_command(window, CommandId::Text);  // ignored while the first build runs
    host.pump();
    run_command(window, CommandId::Tree);
    run_command(window, CommandId::Text);
    EXPECT_EQ(view_mode(window->view), VIEW_MODE_TEXT);
    EXPECT_EQ(host.jobs_started, 2u);
}

// Both settings change what every window shows, the Inspector's path included.
TEST(RunCommand, PathStyleAndIndentGuidesRedrawEveryWindow) {
    TestHost host;
    DocWindow* first = host.open_text("[1]");
    DocWindow* second = create_doc_window(&host.app, true);
    const uint32_t redraw = Notice::Everything | Notice::Inspector;
    for (uint32_t id : {CommandId::SetPathStyle + 2, CommandId::IndentGuides}) {
        host.notices.clear();
        run_command(second, id);
        EXPECT_EQ(host.notices[first] & redraw, redraw) << id;
        EXPECT_EQ(host.notices[second] & redraw, redraw) << id;
    }
    EXPECT_EQ(host.app.settings.path_style, 2);
    EXPECT_EQ(host.app.settings.indent_guides, 0);
}

TEST(DocWindowTexts, NamesAndFlashesAreCutAtTheirUtf16Length) {
    TestHost host;
    DocWindow* window = create_doc_window(&host.app, true);
    std::string emoji;
    for (int i = 0; i < 200; i++) emoji += "\xF0\x9F\x98\x80";  // two units each
    set_display_name(window, emoji.c_str(), emoji.size());
    flash_status(window, emoji.c_str());
    EXPECT_EQ(std::strlen(window->display_name), 129u * 4);
    EXPECT_EQ(std::strlen(window->flash_text), 79u * 4);
}

}  // namespace
