#include "app/commands.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/clipboard.h"
#include "test_host.h"
#include "views/text_view.h"
#include "views/view_state.h"

namespace {

std::string selected_path(const DocWindow* window) {
    char path[128];
    copy_selection_path(window->view, PathStyle::JsonPath, path, sizeof path);
    return path;
}

TEST(RunCommand, WindowCommandsGoToTheHost) {
    TestHost host;
    DocWindow* window = create_doc_window(&host.app, true);
    std::vector<uint32_t> ids = {1001, 1003, 1004, 1006, 1008, 1009, 1010, 1050, 1143, 1130, 1199};
    for (uint32_t id : ids) run_command(window, id);
    EXPECT_EQ(host.window_commands, ids);
}

TEST(RunCommand, ViewCommandsMoveSelectionAndRows) {
    struct Step {
        uint32_t id;
        const char* selected;
        uint32_t rows;
    } steps[] = {
        {1020, "$.d[1]", 8},  // expand all
        {1022, "$.d", 3},     // level 1: the nearest visible ancestor
        {1140, "$.d", 6},     // expand the subtree
        {1141, "$.d", 3},     // and collapse it
        {1023, "$.d", 6},     // level 2
        {1031, "$.a.b", 6},   // back
        {1032, "$.d", 6},     // forward
        {1021, "$.d", 3},     // collapse all
    };
    TestHost host;
    DocWindow* window = host.open_text("{\"a\":{\"b\":{\"c\":1}},\"d\":[1,{\"e\":2}]}");
    submit_go_to_path(window, "$.a.b", 5);
    submit_go_to_path(window, "$.d[1]", 6);
    submit_go_to_path(window, "$", 1);
    run_command(window, 1031);  // back to $.d[1]
    for (const Step& step : steps) {
        host.notices.clear();
        run_command(window, step.id);
        EXPECT_EQ(selected_path(window), step.selected) << step.id;
        EXPECT_EQ(visible_row_count(window->view), step.rows) << step.id;
        EXPECT_TRUE(host.notices[window] & Notice::List) << step.id;
    }
}

TEST(RunCommand, SettingsCommandsStoreAndSave) {
    TestHost host;
    DocWindow* first = host.open_text("[1]");
    DocWindow* second = create_doc_window(&host.app, true);
    run_command(first, CommandId::SetPathStyle + 2);
    EXPECT_EQ(host.app.settings.path_style, 2);
    EXPECT_TRUE(host.notices[second] & Notice::Menus);
    uint8_t guides = host.app.settings.indent_guides;
    run_command(first, CommandId::IndentGuides);
    EXPECT_NE(host.app.settings.indent_guides, guides);
    run_command(first, command_id_of_index(CommandIndex::Inspector));
    EXPECT_EQ(first->inspector_shown, host.app.settings.inspector);
    run_command(second, command_id_of_index(CommandIndex::Inspector));
    EXPECT_NE(second->inspector_shown, first->inspector_shown);
    EXPECT_EQ(host.saves, 3u);
}

TEST(RunCommand, TextViewSwitchesKindsOnceBuilt) {
    TestHost host;
    DocWindow* window = host.open_text("{\"a\": [1, 2]}");
    run_command(window, 1012);
    run_command(window, 1012);  // ignored while the first build runs
    EXPECT_EQ(host.jobs_started, 2u);
    host.pump();
    EXPECT_EQ(view_mode(window->view), VIEW_MODE_TEXT);
    EXPECT_EQ(text_view_mode(text_view(window->view)), TEXT_SOURCE);
    run_command(window, 1012);
    host.pump();
    EXPECT_EQ(text_view_mode(text_view(window->view)), TEXT_PRETTY);
    run_command(window, 1011);
    EXPECT_EQ(view_mode(window->view), VIEW_MODE_TREE);
    run_command(window, 1012);  // a text view is held: no build
    EXPECT_EQ(view_mode(window->view), VIEW_MODE_TEXT);
    EXPECT_EQ(host.jobs_started, 3u);
}

TEST(RunCommand, ProblemBarCommands) {
    TestHost host;
    DocWindow* window = host.open_text("1\n{bad\n3\n{worse\n");
    run_command(window, CommandId::ProblemBarNext);
    EXPECT_EQ(selected_path(window), "$[1]");
    run_command(window, CommandId::ProblemBarShowInText);
    host.pump();
    EXPECT_EQ(view_mode(window->view), VIEW_MODE_TEXT);
    EXPECT_EQ(selected_row(window->view), 1u);
    run_command(window, CommandId::ProblemBarClose);
    EXPECT_TRUE(window->problem_bar_dismissed);
}

TEST(GoToPath, FailureKeepsTheBoxAndReportsInScriptMode) {
    TestHost host(true);
    DocWindow* window = host.open_text("{\"a\": 1}");
    EXPECT_FALSE(submit_go_to_path(window, "$.b", 3));
    EXPECT_TRUE(window->goto_mode);
    ASSERT_EQ(host.lines.size(), 1u);
    EXPECT_EQ(host.lines[0], std::string("goto-error=") + window->goto_message);
    EXPECT_NE(window->goto_message[0], 0);
    EXPECT_TRUE(submit_go_to_path(window, "$.a", 3));
    EXPECT_FALSE(window->goto_mode);
    EXPECT_EQ(window->goto_message[0], 0);
    EXPECT_EQ(selected_path(window), "$.a");
}

TEST(DocWindowTexts, NamesAndFlashesAreCutAtTheirUtf16Length) {
    TestHost host;
    DocWindow* window = create_doc_window(&host.app, true);
    EXPECT_EQ(host.title(window), "Tarnwell");
    std::string emoji;
    for (int i = 0; i < 200; i++) emoji += "\xF0\x9F\x98\x80";  // two units each
    set_display_name(window, emoji.c_str(), emoji.size());
    flash_status(window, emoji.c_str());
    EXPECT_EQ(std::strlen(window->display_name), 129u * 4);
    EXPECT_EQ(std::strlen(window->flash_text), 79u * 4);
}

}  // namespace
