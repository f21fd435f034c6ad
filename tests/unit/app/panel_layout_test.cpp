#include "app/panel_layout.h"

#include <gtest/gtest.h>

#include "load_text.h"

namespace {

void expect_rect(const FloatRect& rect, float left, float top, float right, float bottom) {
    EXPECT_FLOAT_EQ(rect.left, left);
    EXPECT_FLOAT_EQ(rect.top, top);
    EXPECT_FLOAT_EQ(rect.right, right);
    EXPECT_FLOAT_EQ(rect.bottom, bottom);
}

// "Open..." 50 and "Open from Clipboard" 130 wide.
StartPageLayout page_of(float width, float height, uint32_t recent, float scale = 1.0f) {
    return start_page_layout({width, height, scale, recent, 50 * scale, 130 * scale});
}

TEST(StartPageLayout, WithoutRecentFilesTheButtonsMoveDown) {
    StartPageLayout empty = page_of(800, 600, 0);
    EXPECT_EQ(empty.recent_count, 0u);
    EXPECT_FLOAT_EQ(empty.heading_top, 212);  // (600 - 70) x 0.4
    expect_rect(empty.open_button, 286, 256, 352, 282);
    expect_rect(empty.clipboard_button, 368, 256, 514, 282);

    StartPageLayout full = page_of(800, 600, 10);
    EXPECT_EQ(full.recent_count, 10u);
    EXPECT_FLOAT_EQ(full.heading_top, 75.2f);  // (600 - 70 - 342) x 0.4
    EXPECT_FLOAT_EQ(full.recent_heading_top, 185.2f);
    EXPECT_FLOAT_EQ(full.list_left, 120);
    EXPECT_FLOAT_EQ(full.list_width, 560);
    expect_rect(full.recent_rows[0], 112, 207.2f, 688, 235.2f);
    expect_rect(full.recent_rows[9], 112, 459.2f, 688, 487.2f);

    EXPECT_EQ(page_of(800, 600, 14).recent_count, 10u);
    EXPECT_FLOAT_EQ(page_of(800, 200, 10).heading_top, 24);  // never closer to the top than 24
    StartPageLayout narrow = page_of(100, 600, 1);
    EXPECT_FLOAT_EQ(narrow.list_width, 120);
    EXPECT_FLOAT_EQ(narrow.list_left, -10);
    EXPECT_FLOAT_EQ(page_of(1600, 1200, 10, 2.0f).list_width, 1120);
}

TEST(StartPageLayout, HitTestUsesTheDrawnRectangles) {
    const StartPageLayout empty = page_of(800, 600, 0);
    const StartPageLayout full = page_of(800, 600, 10);
    struct Case {
        const StartPageLayout* page;
        float x, y;
        uint32_t item;
    };
    const Case cases[] = {
        {&empty, 300, 260, StartItem::Open},
        {&empty, 360, 260, StartItem::Nothing},  // between the buttons
        {&empty, 368, 256, StartItem::OpenFromClipboard},
        {&empty, 514, 260, StartItem::Nothing},
        {&empty, 400, 300, StartItem::Nothing},  // no rows without recent files
        {&full, 112, 208, StartItem::Recent},
        {&full, 687, 300, StartItem::Recent + 3},
        {&full, 688, 300, StartItem::Nothing},
        {&full, 400, 488, StartItem::Nothing},
    };
    for (const Case& c : cases) EXPECT_EQ(start_page_hit(*c.page, c.x, c.y), c.item) << c.x << "," << c.y;

    XRange folder = recent_folder_range(full, 100, 1.0f);
    EXPECT_FLOAT_EQ(folder.left, 232);
    EXPECT_FLOAT_EQ(folder.right, 680);
    folder = recent_folder_range(full, 546, 1.0f);  // leaves exactly 14: no folder
    EXPECT_FALSE(folder.left < folder.right);
}

TEST(ProblemBarLayout, OneButtonLeftOfTheCloseArea) {
    ProblemBarLayout show = problem_bar_layout(800, 30, 1.0f, ProblemButton::ShowInText, 70);
    EXPECT_FLOAT_EQ(show.close_left, 766);
    expect_rect(show.button_rect, 670, 4, 760, 26);
    EXPECT_EQ(show.text_shown, 1);
    EXPECT_FLOAT_EQ(show.text.left, 36);
    EXPECT_FLOAT_EQ(show.text.right, 660);
    ProblemBarLayout next = problem_bar_layout(800, 30, 1.0f, ProblemButton::NextProblem, 80);
    EXPECT_FLOAT_EQ(next.text.right, 652);
    ProblemBarLayout gone = problem_bar_layout(800, 30, 1.0f, ProblemButton::None, 0);
    EXPECT_FLOAT_EQ(gone.text.right, 766);
    EXPECT_EQ(problem_bar_layout(150, 30, 1.0f, ProblemButton::ShowInText, 70).text_shown, 0);

    struct Case {
        const ProblemBarLayout* bar;
        float x;
        uint32_t part;
    };
    const Case cases[] = {
        {&show, 780, ProblemBarPart::Close}, {&show, 766, ProblemBarPart::Close},
        {&show, 765, ProblemBarPart::Nothing}, {&show, 670, ProblemBarPart::ShowInText},
        {&show, 760, ProblemBarPart::Nothing}, {&next, 700, ProblemBarPart::NextProblem},
        {&gone, 700, ProblemBarPart::Nothing}, {&show, 10, ProblemBarPart::Nothing},
    };
    for (const Case& c : cases) EXPECT_EQ(problem_bar_hit(*c.bar, c.x), c.part) << c.x;
}

TEST(ProblemBarLayout, TheButtonFollowsTheDocument) {
    DocumentPtr records = load_json_lines("{\"a\": 1}\n{oops\n");
    DocumentPtr single = load_text("[1, oops]");
    DocumentPtr clean_records = load_json_lines("1\n2\n");
    EXPECT_EQ(problem_bar_button(records.get(), false), ProblemButton::NextProblem);
    EXPECT_EQ(problem_bar_button(single.get(), false), ProblemButton::ShowInText);
    EXPECT_EQ(problem_bar_button(clean_records.get(), false), ProblemButton::ShowInText);
    EXPECT_EQ(problem_bar_button(records.get(), true), ProblemButton::None);
}

TEST(StatusBarLayout, TheRightTextTakesItsShareFirst) {
    EXPECT_FLOAT_EQ(status_right_max_width(600, 1.0f), 290);
    EXPECT_FLOAT_EQ(status_left_width(600, 1.0f, 0), 580);
    EXPECT_FLOAT_EQ(status_left_width(600, 1.0f, 100), 464);
    EXPECT_FLOAT_EQ(status_left_width(30, 2.0f, 100), 0);
}

}  // namespace
