// The menu model where the main menu's dumps (end-to-end cases) do not reach:
// recent-file labels at their length limit, Open Recent after the list moved,
// and the context menu.
#include "app/menu_model.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/commands.h"
#include "test_host.h"

namespace {

std::string label(uint32_t index, const std::string& path) {
    char buffer[RECENT_LABEL_SIZE];
    uint64_t length = format_recent_label(index, path.c_str(), buffer, sizeof buffer);
    EXPECT_EQ(length, format_recent_label(index, path.c_str(), nullptr, 0)) << path;
    return std::string(buffer, length);
}

// The label fills at most 1199 UTF-16 units: "&1  " takes four, a character
// outside the BMP two, and a doubled "&" is kept whole or left out.
TEST(RecentLabel, CutsAtTheUnitLimitWithoutSplittingPairsOrDoubledAmpersands) {
    const std::string fill(1194, 'a');  // 4 + 1194 units leave one free
    const std::string emoji = "\xF0\x9F\x98\x80";
    EXPECT_EQ(label(0, fill + "&"), "&1  " + fill);
    EXPECT_EQ(label(0, fill + emoji), "&1  " + fill);
    EXPECT_EQ(label(0, fill + "b&"), "&1  " + fill + "b");
    EXPECT_EQ(label(0, fill.substr(1) + "&"), "&1  " + fill.substr(1) + "&&");
    EXPECT_EQ(label(0, fill.substr(1) + emoji), "&1  " + fill.substr(1) + emoji);
    EXPECT_EQ(label(9, "a&b&&c"), "&0  a&&b&&&&c");
    char small[6];
    EXPECT_EQ(format_recent_label(2, "xyz", small, sizeof small), 7u);
    EXPECT_STREQ(small, "&3  x");
}

struct MenuTest : ::testing::Test {
    TestHost host;
    std::unique_ptr<Menu> menu = std::make_unique<Menu>();

    const MenuItem* item(uint32_t id) const {
        for (uint32_t i = 0; i < menu->count; i++) {
            if (menu->items[i].id == id) return &menu->items[i];
        }
        return nullptr;
    }
};

// A file opened meanwhile moves the list; the choice still opens the file
// whose label the menu showed.
TEST_F(MenuTest, OpenRecentOpensWhatTheMenuShowed) {
    std::string first = write_test_file("recent_first.json", "[1]");
    std::string second = write_test_file("recent_second.json", "[2]");
    ASSERT_TRUE(add_recent(&host.app.settings, first.c_str()));
    ASSERT_TRUE(add_recent(&host.app.settings, second.c_str()));
    DocWindow* window = create_doc_window(&host.app, true);
    build_main_menu(window, menu.get());
    ASSERT_NE(item(CommandId::OpenRecent + 1), nullptr);
    EXPECT_EQ(item(CommandId::OpenRecent + 2), nullptr);
    ASSERT_TRUE(add_recent(&host.app.settings, "/elsewhere/moved.json"));
    run_menu_choice(window, menu.get(), CommandId::OpenRecent + 1);
    host.pump();
    EXPECT_STREQ(window->display_name, "recent_first.json");
    // An id the menu did not show opens nothing.
    run_menu_choice(window, menu.get(), CommandId::OpenRecent + 5);
    host.pump();
    EXPECT_EQ(host.window_count(), 1u);
}

TEST_F(MenuTest, ContextMenuGraysTreeCommandsInTheTextView) {
    DocWindow* window = host.open_text("{\"a\": [1, 2]}");
    build_list_menu(window, menu.get());
    EXPECT_FALSE(item(CommandId::ExpandSubtree)->grayed);
    EXPECT_FALSE(item(CommandId::ExpandToLevel + 8)->grayed);
    run_command(window, CommandId::Text);
    host.pump();
    build_list_menu(window, menu.get());
    for (uint32_t id : {CommandId::ExpandSubtree, CommandId::CollapseSubtree, CommandId::ExpandToLevel})
        EXPECT_TRUE(item(id)->grayed) << id;
    EXPECT_FALSE(item(CommandId::CopyValue)->grayed);
    EXPECT_FALSE(item(CommandId::CopyPathAs + 4)->grayed);
}

}  // namespace
