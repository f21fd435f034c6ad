#include "app/window_layout.h"

#include <gtest/gtest.h>

namespace {

void expect_rect(const PixelRect& rect, int32_t x, int32_t y, int32_t width, int32_t height) {
    EXPECT_EQ(rect.x, x);
    EXPECT_EQ(rect.y, y);
    EXPECT_EQ(rect.width, width);
    EXPECT_EQ(rect.height, height);
}

TEST(WindowLayout, BarsStackAndTheContentTakesTheRest) {
    DocLayoutInput input{1100, 760, 1.0f, 0, 1, 1, 0, 360};
    DocLayout layout = doc_window_layout(input);
    expect_rect(layout.top_bar, 0, 0, 1100, 36);
    expect_rect(layout.message_bar, 0, 36, 1100, 22);
    expect_rect(layout.problem_bar, 0, 58, 1100, 30);
    expect_rect(layout.list, 0, 88, 1100, 760 - 88 - 22);
    expect_rect(layout.status_bar, 0, 738, 1100, 22);
    EXPECT_EQ(layout.inspector_shown, 0);
    EXPECT_EQ(layout.start_page_shown, 0);

    // Without the two middle bars the list moves up; 150 % rounds each length.
    input = {1650, 1140, 1.5f, 0, 0, 0, 0, 360};
    layout = doc_window_layout(input);
    EXPECT_EQ(layout.message_bar_shown, 0);
    EXPECT_EQ(layout.problem_bar_shown, 0);
    expect_rect(layout.list, 0, 54, 1650, 1140 - 54 - 33);
    // 125 %: 36 x 1.25 = 45, 22 x 1.25 = 27.5 rounds up to 28.
    layout = doc_window_layout({800, 600, 1.25f, 0, 0, 0, 0, 360});
    EXPECT_EQ(layout.top_bar.height, 45);
    expect_rect(layout.status_bar, 0, 572, 800, 28);
}

TEST(WindowLayout, StartPageFillsTheContentWithoutAStatusBar) {
    DocLayout layout = doc_window_layout({900, 600, 1.0f, 1, 0, 0, 1, 360});
    EXPECT_EQ(layout.start_page_shown, 1);
    expect_rect(layout.start_page, 0, 36, 900, 564);
    EXPECT_EQ(layout.inspector_shown, 0);
    expect_rect(layout.list, 0, 0, 0, 0);
    expect_rect(layout.status_bar, 0, 0, 0, 0);
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
        {484, 1.0f, 360, 120, 360},  // exactly room for both
        {300, 1.0f, 360, 120, 176},
        {124, 1.0f, 360, 120, 0},
        {60, 1.0f, 360, 56, 0},  // narrower than the minimum list: the Inspector is gone
        {2, 1.0f, 360, 0, 0},
        {1100, 2.0f, 360, 372, 720},
        {500, 1.5f, 1200, 180, 314},  // 500 - 6 - 180
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "width " << c.width << " at " << c.scale);
        DocLayout layout = doc_window_layout({c.width, 500, c.scale, 0, 0, 0, 1, c.inspector_width});
        EXPECT_EQ(layout.inspector_shown, 1);
        EXPECT_EQ(layout.list.width, c.list);
        EXPECT_EQ(layout.inspector.width, c.inspector);
        EXPECT_EQ(layout.split_bar.x, c.list);
        EXPECT_EQ(layout.inspector.x, c.width - c.inspector);
        EXPECT_EQ(layout.list.width + layout.split_bar.width + layout.inspector.width, c.width);
    }
}

TEST(WindowLayout, AWindowShorterThanItsBarsHasNoNegativeSizes) {
    DocLayout layout = doc_window_layout({400, 50, 1.0f, 0, 1, 1, 1, 360});
    EXPECT_GE(layout.list.height, 0);
    EXPECT_GE(layout.status_bar.height, 0);
    EXPECT_LE(layout.status_bar.y + layout.status_bar.height, 50);
    layout = doc_window_layout({-10, -10, 1.0f, 1, 0, 0, 0, 360});
    EXPECT_GE(layout.start_page.height, 0);
    EXPECT_GE(layout.start_page.width, 0);
}

}  // namespace
