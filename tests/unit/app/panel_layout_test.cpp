#include "app/panel_layout.h"

#include <gtest/gtest.h>

#include "load_text.h"

namespace {

// "Open..." 50 and "Open from Clipboard" 130 wide.
StartPageLayout page_of(float width, float height, uint32_t recent) {
    return start_page_layout({width, height, 1.0f, recent, 50, 130});
}

TEST(StartPageLayout, RecentFilesAndTheBlockAtFortyPercent) {
    StartPageLayout empty = page_of(800, 600, 0);
    EXPECT_FLOAT_EQ(empty.heading_top, 212);  // (600 - 70) x 0.4
    EXPECT_FLOAT_EQ(empty.open_button.left, 286);
    EXPECT_FLOAT_EQ(empty.clipboard_button.right, 514);
    StartPageLayout full = page_of(800, 600, 14);
    EXPECT_EQ(full.recent_count, 10u);
    EXPECT_FLOAT_EQ(full.heading_top, 75.2f);  // (600 - 70 - 342) x 0.4
    EXPECT_FLOAT_EQ(full.recent_rows[9].bottom, 487.2f);
    EXPECT_FLOAT_EQ(page_of(800, 200, 10).heading_top, 24);
    EXPECT_FLOAT_EQ(page_of(100, 600, 1).list_width, 120);

    struct Case {
        const StartPageLayout* page;
        float x, y;
        uint32_t item;
    };
    const Case cases[] = {
        {&empty, 300, 260, StartItem::Open},  {&empty, 360, 260, StartItem::Nothing},
        {&empty, 368, 256, StartItem::OpenFromClipboard}, {&empty, 400, 300, StartItem::Nothing},
        {&full, 687, 300, StartItem::Recent + 3}, {&full, 688, 300, StartItem::Nothing},
    };
    for (const Case& c : cases) EXPECT_EQ(start_page_hit(*c.page, c.x, c.y), c.item) << c.x << "," << c.y;
    EXPECT_FLOAT_EQ(recent_folder_range(full, 100, 1.0f).left, 232);
    XRange no_folder = recent_folder_range(full, 546, 1.0f);  // leaves exactly 14
    EXPECT_FALSE(no_folder.left < no_folder.right);
}

TEST(ProblemBarLayout, OneButtonLeftOfTheCloseArea) {
    ProblemBarLayout show = problem_bar_layout(800, 30, 1.0f, ProblemButton::ShowInText, 70);
    EXPECT_FLOAT_EQ(show.button_rect.left, 670);
    EXPECT_FLOAT_EQ(show.text.right, 660);
    ProblemBarLayout next = problem_bar_layout(800, 30, 1.0f, ProblemButton::NextProblem, 80);
    EXPECT_FLOAT_EQ(next.text.right, 652);
    ProblemBarLayout gone = problem_bar_layout(800, 30, 1.0f, ProblemButton::None, 0);
    EXPECT_EQ(problem_bar_layout(150, 30, 1.0f, ProblemButton::ShowInText, 70).text_shown, 0);
    EXPECT_EQ(problem_bar_hit(show, 766), ProblemBarPart::Close);
    EXPECT_EQ(problem_bar_hit(show, 765), ProblemBarPart::Nothing);
    EXPECT_EQ(problem_bar_hit(show, 670), ProblemBarPart::ShowInText);
    EXPECT_EQ(problem_bar_hit(next, 700), ProblemBarPart::NextProblem);
    EXPECT_EQ(problem_bar_hit(gone, 700), ProblemBarPart::Nothing);

    DocumentPtr records = load_json_lines("{\"a\": 1}\n{oops\n");
    DocumentPtr clean_records = load_json_lines("1\n2\n");
    EXPECT_EQ(problem_bar_button(records.get(), false), ProblemButton::NextProblem);
    EXPECT_EQ(problem_bar_button(clean_records.get(), false), ProblemButton::ShowInText);
    EXPECT_EQ(problem_bar_button(records.get(), true), ProblemButton::None);
}

}  // namespace
