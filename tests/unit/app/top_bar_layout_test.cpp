#include "app/top_bar_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// "Tree" 30 and "Text" 28 wide: the switch spans 10 ... 116 and the
// breadcrumbs start at 130.
TopBarLayout bar_of(float width, float scale = 1.0f, bool start_page = false) {
    return top_bar_layout({width, 36, scale, start_page, 30 * scale, 28 * scale, 130 * scale, 15});
}

void expect_range(XRange range, float left, float right) {
    EXPECT_FLOAT_EQ(range.left, left);
    EXPECT_FLOAT_EQ(range.right, right);
}

TEST(TopBarLayout, NarrowingHidesTheTogglesFirstThenTheCounter) {
    struct Case {
        float width;
        bool toggles, counter;
        float box_width;
    };
    const Case cases[] = {
        {1600, true, true, 240},  // the box never grows past 240
        {768, true, true, 120},   // just room for the toggles
        {767, false, true, 240},  // the toggles' room goes to the box
        {630, false, true, 120},
        {629, false, false, 235},
        {400, false, false, 60},  // the box never shrinks below 60
        {150, false, false, 60},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "width " << c.width);
        TopBarLayout bar = bar_of(c.width);
        EXPECT_EQ(bar.toggles_shown, c.toggles);
        EXPECT_EQ(bar.counter_shown, c.counter);
        EXPECT_FLOAT_EQ(bar.box_width, c.box_width);
        // The cluster ends 46 before the edge, the crumbs 8 before the cluster, never before they start.
        EXPECT_FLOAT_EQ(bar.search[SearchRange::Next].right, c.width - 46);
        float cluster_left = bar.search[SearchRange::MatchCase].left;
        EXPECT_FLOAT_EQ(bar.crumb_area.right, std::max(130.0f, cluster_left - 8));
    }
    // At twice the DPI the same decisions fall at twice the width.
    EXPECT_EQ(bar_of(1536, 2.0f).toggles_shown, 1);
    EXPECT_EQ(bar_of(1534, 2.0f).toggles_shown, 0);
    EXPECT_FLOAT_EQ(bar_of(800, 2.0f).box_width, 120);
}

TEST(TopBarLayout, RangesFromTheRightEdge) {
    TopBarLayout bar = bar_of(1100);
    EXPECT_FLOAT_EQ(bar.switch_left, 10);
    EXPECT_FLOAT_EQ(bar.switch_middle, 64);
    EXPECT_FLOAT_EQ(bar.switch_right, 116);
    expect_range(bar.search[SearchRange::Next], 1030, 1054);
    expect_range(bar.search[SearchRange::Previous], 1004, 1028);
    expect_range(bar.search[SearchRange::Counter], 888, 1000);
    expect_range(bar.search[SearchRange::Box], 640, 880);
    expect_range(bar.search[SearchRange::Scope], 566, 632);
    expect_range(bar.search[SearchRange::Regex], 534, 562);
    expect_range(bar.search[SearchRange::MatchCase], 502, 530);
    expect_range(bar.crumb_area, 130, 494);
    EXPECT_FLOAT_EQ(bar.menu_left, 1060);

    // The edit boxes: inside the box's frame and over the breadcrumb area,
    // as tall as the font plus 2, centred in the bar.
    EXPECT_EQ(bar.search_box.x, 648);
    EXPECT_EQ(bar.search_box.width, 226);
    EXPECT_EQ(bar.search_box.height, 17);
    EXPECT_EQ(bar.search_box.y, 9);
    EXPECT_STREQ(bar.cue, "Search keys and values");
    EXPECT_EQ(bar.goto_box.x, 138);
    EXPECT_EQ(bar.goto_box.width, 348);

    TopBarLayout narrow = bar_of(400);
    EXPECT_STREQ(narrow.cue, "Search");
    EXPECT_EQ(narrow.search_box.width, 46);
    TopBarLayout unmeasured = top_bar_layout({1100, 54, 1.5f, 0, 45, 42, 195, 0});
    EXPECT_EQ(unmeasured.search_box.height, 27);
    EXPECT_EQ(unmeasured.search_box.y, 13);
}

TEST(TopBarLayout, HitTestingNeverFindsHiddenParts) {
    const TopBarLayout wide = bar_of(1100);
    const TopBarLayout no_toggles = bar_of(767);
    const TopBarLayout no_counter = bar_of(629);
    const TopBarLayout start = bar_of(1100, 1.0f, true);
    struct Case {
        const TopBarLayout* bar;
        float x;
        uint32_t part;
    };
    using namespace TopBarPart;
    const Case cases[] = {
        {&wide, 9.9f, Nothing},   {&wide, 10, Tree},         {&wide, 64, Text},      {&wide, 116, Nothing},
        {&wide, 130, CrumbArea},  {&wide, 493.9f, CrumbArea}, {&wide, 494, Nothing},  {&wide, 502, MatchCase},
        {&wide, 534, Regex},      {&wide, 600, Scope},       {&wide, 640, SearchBox}, {&wide, 880, Nothing},
        {&wide, 900, Nothing},    // the counter is not a button
        {&wide, 1004, Previous},  {&wide, 1053.9f, Next},    {&wide, 1055, Nothing}, {&wide, 1060, Menu},
        {&wide, 5000, Menu},
        // Collapsed toggles and counter are empty ranges.
        {&no_toggles, no_toggles.search[SearchRange::Box].left, SearchBox},
        {&no_counter, no_counter.search[SearchRange::Previous].left, Previous},
        {&no_counter, no_counter.search[SearchRange::Box].right, Nothing},
        // On the start page only the menu button answers.
        {&start, 20, Nothing},    {&start, 700, Nothing},    {&start, 1060, Menu},
    };
    for (const Case& c : cases) EXPECT_EQ(top_bar_hit(*c.bar, nullptr, c.x), c.part) << c.x;
    EXPECT_EQ(start.search_box_shown, 0);
    EXPECT_FALSE(top_bar_part_hovers(CrumbArea));
    EXPECT_TRUE(top_bar_part_hovers(Crumb + 3));
}

TEST(TopBarLayout, BreadcrumbsThatFit) {
    const XRange area{130, 494};  // 364 wide; the lead-in "..." is 10 + 2
    struct Case {
        std::vector<float> widths;  // deepest first
        uint32_t levels;
        uint32_t drawn;
        bool lead_in;
        std::vector<XRange> ranges;  // deepest first
    };
    const Case cases[] = {
        {{50, 60, 70}, 3, 3, false, {{296, 346}, {218, 278}, {130, 200}}},
        // Ten crumbs of 100: two fit after the lead-in.
        {std::vector<float>(10, 100), 10, 2, true, {{278, 378}, {160, 260}}},
        // No crumb is wider than 260.
        {{900}, 1, 1, false, {{130, 390}}},
        {{300, 120}, 2, 1, true, {{160, 420}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.levels << " levels");
        BreadcrumbFit fit = fit_breadcrumbs(area, 1.0f, 10, c.widths.data(), c.levels);
        ASSERT_EQ(fit.count, c.drawn);
        EXPECT_EQ(fit.lead_in, c.lead_in);
        for (uint32_t i = 0; i < c.drawn; i++) {
            expect_range(fit.crumbs[i], c.ranges[i].left, c.ranges[i].right);
            EXPECT_EQ(fit.levels[i], c.levels - 1 - i);
        }
        if (c.lead_in) expect_range(fit.lead_in_range, 130, 142);
    }
    // The deepest crumb is always drawn, narrowed to what the area leaves,
    // and even in an area narrower than the lead-in it never gets a negative width.
    const float wide[] = {300, 50};
    BreadcrumbFit narrowed = fit_breadcrumbs({130, 330}, 1.0f, 10, wide, 2);
    ASSERT_EQ(narrowed.count, 1u);
    expect_range(narrowed.crumbs[0], 160, 330);
    BreadcrumbFit squeezed = fit_breadcrumbs({130, 140}, 1.0f, 10, wide, 2);
    EXPECT_EQ(squeezed.crumbs[0].right, squeezed.crumbs[0].left);

    // More than 48 levels: at most 48 are drawn, after the lead-in.
    std::vector<float> many(48, 1.0f);
    BreadcrumbFit deep = fit_breadcrumbs({0, 100000}, 1.0f, 10, many.data(), 60);
    EXPECT_EQ(deep.count, CRUMBS_SHOWN_MAX);
    EXPECT_EQ(deep.lead_in, 1);
    EXPECT_EQ(deep.levels[47], 12u);
    EXPECT_EQ(fit_breadcrumbs(area, 1.0f, 10, nullptr, 0).count, 0u);

    // Crumbs are hit counted from the deepest; gaps and the lead-in are the area.
    const TopBarLayout bar = bar_of(1100);
    BreadcrumbFit fit = fit_breadcrumbs(bar.crumb_area, 1.0f, 10, std::vector<float>(10, 100).data(), 10);
    EXPECT_EQ(top_bar_hit(bar, &fit, 300), TopBarPart::Crumb + 0);
    EXPECT_EQ(top_bar_hit(bar, &fit, 200), TopBarPart::Crumb + 1);
    EXPECT_EQ(top_bar_hit(bar, &fit, 265), TopBarPart::CrumbArea);
    EXPECT_EQ(top_bar_hit(bar, &fit, 135), TopBarPart::CrumbArea);
}

}  // namespace
