#include "app/window_layout.h"

#include <gtest/gtest.h>

#include <cstring>

#include "app/doc_window.h"
#include "app/open_file.h"
#include "test_host.h"

namespace {

TEST(WindowLayout, BarsStackAndTheStartPageHasNoStatusBar) {
    // 125 %: 36 x 1.25 = 45, 22 x 1.25 = 27.5 rounds to 28, 30 x 1.25 = 37.5 to 38.
    DocLayout layout = doc_window_layout({800, 600, 1.25f, 0, 1, 1, 0, 360});
    EXPECT_EQ(layout.problem_bar.y, 45 + 28);
    EXPECT_EQ(layout.list.y, 45 + 28 + 38);
    EXPECT_EQ(layout.status_bar.y, 600 - 28);
    EXPECT_EQ(layout.list.height, 600 - 28 - 111);

    layout = doc_window_layout({900, 600, 1.0f, 1, 0, 0, 1, 360});
    EXPECT_EQ(layout.start_page.y, 36);
    EXPECT_EQ(layout.start_page.height, 564);
    EXPECT_EQ(layout.status_bar.height, 0);
    EXPECT_EQ(layout.inspector_shown, 0);

    layout = doc_window_layout({400, 50, 1.0f, 0, 1, 1, 1, 360});  // shorter than its bars
    EXPECT_EQ(layout.list.height, 0);
    EXPECT_EQ(layout.status_bar.y + layout.status_bar.height, 50);
}

TEST(WindowLayout, InspectorIsSqueezedBeforeTheList) {
    struct Case {
        int32_t width;
        float scale;
        int32_t inspector_width;
        int32_t list, inspector;
    };
    const Case cases[] = {
        {1100, 1.0f, 360, 736, 360},
        {300, 1.0f, 360, 120, 176},
        {124, 1.0f, 360, 120, 0},
        {60, 1.0f, 360, 56, 0},  // narrower than the list's minimum: no Inspector
        {2, 1.0f, 360, 0, 0},
        {500, 1.5f, 1200, 180, 314},
    };
    for (const Case& c : cases) {
        DocLayout layout = doc_window_layout({c.width, 500, c.scale, 0, 0, 0, 1, c.inspector_width});
        EXPECT_EQ(layout.list.width, c.list) << c.width;
        EXPECT_EQ(layout.inspector.width, c.inspector) << c.width;
        EXPECT_EQ(layout.list.width + layout.split_bar.width + layout.inspector.width, c.width);
    }
}

TEST(WindowLayout, BarsShowWhatTheWindowHolds) {
    TestHost host;
    DocWindow* window = open_path(&host.app, nullptr, write_test_file("broken.json", "[1, oops]").c_str());
    host.pump();
    ASSERT_TRUE(window && window->view);
    DocLayoutInput input = doc_layout_input(window, 800, 600, 1.0f);
    EXPECT_EQ(input.problem_bar, 1);
    EXPECT_EQ(input.message_bar, 0);
    window->problem_bar_dismissed = 1;
    std::strcpy(window->goto_message, "no such key");
    input = doc_layout_input(window, 800, 600, 1.0f);
    EXPECT_EQ(input.problem_bar, 0);
    EXPECT_EQ(input.message_bar, 1);
    TestHost clean;
    DocWindow* clean_window = clean.open_text("[1]");
    EXPECT_EQ(doc_layout_input(clean_window, 800, 600, 1.0f).problem_bar, 0);
    // A file that has gone away shows the bar even for a Document without problems.
    clean_window->file_missing = 1;
    EXPECT_EQ(doc_layout_input(clean_window, 800, 600, 1.0f).problem_bar, 1);
}

TEST(WindowLayout, DraggedInspectorWidthStaysWithinItsLimits) {
    // Half the 4-pixel bar (2, or 3 at 150 %) is left of the Inspector.
    EXPECT_EQ(dragged_inspector_width(1100, 700, 1.0f), 398);
    EXPECT_EQ(dragged_inspector_width(1650, 1050, 1.5f), 398);  // (600 - 3) / 1.5 cut to a whole number
    EXPECT_EQ(dragged_inspector_width(1100, 1000, 1.0f), 200);
    EXPECT_EQ(dragged_inspector_width(1100, 1200, 1.0f), 200);  // dragged past the right edge
    EXPECT_EQ(dragged_inspector_width(3000, -50, 1.0f), 1200);
}

}  // namespace
