#include "app/top_bar_layout.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// "Tree" 30 and "Text" 28 wide: the breadcrumbs start at 130.
TopBarLayout bar_of(float width, float scale = 1.0f, bool start_page = false) {
    return top_bar_layout({width, 36, scale, start_page, 30 * scale, 28 * scale, 130 * scale, 15});
}

TEST(TopBarLayout, NarrowingHidesTheTogglesFirstThenTheCounter) {
    struct Case {
        float width;
        bool toggles, counter;
        float box_width;
        const char* cue;
    };
    const Case cases[] = {
        {1600, true, true, 240, "Search keys and values"},  // the box never grows past 240
        {768, true, true, 120, "Search"},
        {767, false, true, 240, "Search keys and values"},  // the toggles' room goes to the box
        {630, false, true, 120, "Search"},
        {629, false, false, 235, "Search keys and values"},
        {150, false, false, 60, "Search"},  // the box never shrinks below 60
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "width " << c.width);
        TopBarLayout bar = bar_of(c.width);
        EXPECT_EQ(bar.toggles_shown, c.toggles);
        EXPECT_EQ(bar.counter_shown, c.counter);
        EXPECT_FLOAT_EQ(bar.box_width, c.box_width);
        EXPECT_STREQ(bar.cue, c.cue);
        EXPECT_GE(bar.crumb_area.right, bar.crumb_area.left);
    }
    EXPECT_EQ(bar_of(1536, 2.0f).toggles_shown, 1);  // twice the DPI, twice the width
    EXPECT_EQ(bar_of(1534, 2.0f).toggles_shown, 0);

    // The edits: inside the box's frame (640 ... 880) and over the crumbs (130 ... 494).
    TopBarLayout bar = bar_of(1100);
    EXPECT_EQ(bar.search_box.x, 648);
    EXPECT_EQ(bar.search_box.width, 226);
    EXPECT_EQ(bar.search_box.y, 9);
    EXPECT_EQ(bar.goto_box.x, 138);
    EXPECT_EQ(bar.goto_box.width, 348);
}

TEST(TopBarLayout, HitTestingNeverFindsHiddenParts) {
    const TopBarLayout wide = bar_of(1100), no_toggles = bar_of(767), no_counter = bar_of(629);
    const TopBarLayout start = bar_of(1100, 1.0f, true);
    struct Case {
        const TopBarLayout* bar;
        float x;
        uint32_t part;
    };
    using namespace TopBarPart;
    const Case cases[] = {
        {&wide, 10, Tree},       {&wide, 64, Text},        {&wide, 116, Nothing},   {&wide, 130, CrumbArea},
        {&wide, 494, Nothing},   {&wide, 502, MatchCase},  {&wide, 534, Regex},     {&wide, 600, Scope},
        {&wide, 640, SearchBox}, {&wide, 900, Nothing},    {&wide, 1004, Previous}, {&wide, 1053.9f, Next},
        {&wide, 1060, Menu},
        {&no_toggles, no_toggles.search[SearchRange::Box].left, SearchBox},
        {&no_counter, no_counter.search[SearchRange::Previous].left, Previous},
        {&start, 700, Nothing},  {&start, 1060, Menu},
    };
    for (const Case& c : cases) EXPECT_EQ(top_bar_hit(*c.bar, nullptr, c.x), c.part) << c.x;
}

TEST(TopBarLayout, BreadcrumbsThatFit) {
    const XRange area{130, 494};  // the lead-in "..." is 10 + 2 wide, gaps 18
    const std::vector<float> three = {50, 60, 70}, ten(10, 100), wide = {300, 50};
    BreadcrumbFit fit = fit_breadcrumbs(area, 1.0f, 10, three.data(), 3);
    ASSERT_EQ(fit.count, 3u);
    EXPECT_EQ(fit.lead_in, 0);
    EXPECT_FLOAT_EQ(fit.crumbs[2].left, 130);  // the root's, leftmost
    EXPECT_FLOAT_EQ(fit.crumbs[0].left, 296);
    EXPECT_EQ(fit.levels[0], 2u);

    fit = fit_breadcrumbs(area, 1.0f, 10, ten.data(), 10);
    ASSERT_EQ(fit.count, 2u);
    EXPECT_EQ(fit.lead_in, 1);
    EXPECT_FLOAT_EQ(fit.crumbs[1].left, 160);
    EXPECT_FLOAT_EQ(fit.crumbs[0].right, 378);
    const TopBarLayout bar = bar_of(1100);
    EXPECT_EQ(top_bar_hit(bar, &fit, 300), TopBarPart::Crumb + 0);
    EXPECT_EQ(top_bar_hit(bar, &fit, 265), TopBarPart::CrumbArea);  // a gap

    // The deepest crumb is always drawn: at most 260 wide, narrowed to the area.
    fit = fit_breadcrumbs({130, 330}, 1.0f, 10, wide.data(), 2);
    ASSERT_EQ(fit.count, 1u);
    EXPECT_FLOAT_EQ(fit.crumbs[0].left, 160);
    EXPECT_FLOAT_EQ(fit.crumbs[0].right, 330);
    fit = fit_breadcrumbs({130, 140}, 1.0f, 10, wide.data(), 2);
    EXPECT_FLOAT_EQ(fit.crumbs[0].right, fit.crumbs[0].left);

    std::vector<float> many(48, 1.0f);
    fit = fit_breadcrumbs({0, 100000}, 1.0f, 10, many.data(), 60);
    EXPECT_EQ(fit.count, CRUMBS_SHOWN_MAX);
    EXPECT_EQ(fit.lead_in, 1);
}

}  // namespace
