#include "app/window_placement.h"

#include <gtest/gtest.h>

namespace {

void expect_rect(const PixelRect& rect, int32_t x, int32_t y, int32_t width, int32_t height) {
    EXPECT_EQ(rect.x, x);
    EXPECT_EQ(rect.y, y);
    EXPECT_EQ(rect.width, width);
    EXPECT_EQ(rect.height, height);
}

TEST(WindowPlacement, NewWindowsCascadeUntilTheWorkAreaEnds) {
    const ScreenRect work{0, 0, 1920, 1040};
    expect_rect(cascade_window_rect({100, 50, 1200, 810}, work, 1.0f), 126, 76, 1100, 760);
    // At 150 % the step is 39 pixels.
    expect_rect(cascade_window_rect({100, 50, 1200, 810}, work, 1.5f), 139, 89, 1100, 760);
    // Exactly at the right and bottom edges still fits; one pixel more does not.
    expect_rect(cascade_window_rect({794, 254, 1894, 1014}, work, 1.0f), 820, 280, 1100, 760);
    expect_rect(cascade_window_rect({795, 100, 1895, 860}, work, 1.0f), 26, 26, 1100, 760);
    expect_rect(cascade_window_rect({100, 255, 1200, 1015}, work, 1.0f), 26, 26, 1100, 760);
    // A work area on a second monitor, left of and above the first.
    expect_rect(cascade_window_rect({-1000, -500, -100, 100}, {-1920, -600, 0, 440}, 1.0f), -974, -474, 900, 600);
    // Coordinates at the ends of the range do not overflow.
    expect_rect(cascade_window_rect({INT32_MAX - 10, 0, INT32_MAX, 10}, work, 1.0f), 26, 26, 10, 10);

    EXPECT_EQ(new_window_size(1.25f).x, 1375);
    EXPECT_EQ(new_window_size(1.25f).y, 950);
    EXPECT_EQ(minimum_window_size(1.5f).x, 540);
    EXPECT_EQ(minimum_window_size(1.5f).y, 360);
}

TEST(WindowPlacement, TheSavedRectangleOnlyWhenAMonitorShowsIt) {
    const ScreenRect monitors[] = {{0, 0, 1920, 1080}, {1920, 0, 3840, 1080}};
    struct Case {
        int32_t saved[4];
        bool used;
    };
    const Case cases[] = {
        {{100, 100, 800, 600}, true},
        {{3000, 500, 800, 600}, true},   // on the second monitor
        {{-700, -500, 800, 600}, true},  // partly shown
        {{-800, 0, 800, 600}, false},    // ends exactly where the first monitor begins
        {{4000, 0, 800, 600}, false},
        {{100, 100, 0, 600}, false},  // nothing saved
        {{100, 100, 800, -5}, false},
        {{INT32_MAX - 5, 0, INT32_MAX, 600}, false},  // left + width passes 2^31
        {{-100, -100, INT32_MAX, INT32_MAX}, true},
    };
    for (const Case& c : cases) {
        PixelRect rect{};
        EXPECT_EQ(saved_window_rect(c.saved, monitors, 2, &rect), c.used) << c.saved[0] << "," << c.saved[1];
        if (c.used) expect_rect(rect, c.saved[0], c.saved[1], c.saved[2], c.saved[3]);
    }
    const int32_t saved[4] = {100, 100, 800, 600};
    PixelRect rect{};
    EXPECT_FALSE(saved_window_rect(saved, nullptr, 0, &rect));
}

TEST(WindowPlacement, OnlyRectanglesOverNinetyNinePixelsAreSaved) {
    int32_t saved[4] = {};
    EXPECT_TRUE(window_rect_to_save({-8, -8, 92, 92}, saved));
    EXPECT_EQ(saved[0], -8);
    EXPECT_EQ(saved[2], 100);
    EXPECT_FALSE(window_rect_to_save({0, 0, 99, 500}, saved));
    EXPECT_FALSE(window_rect_to_save({0, 0, 500, 99}, saved));
    EXPECT_FALSE(window_rect_to_save({INT32_MIN, 0, INT32_MAX, 500}, saved));  // wider than a saved width can be
}

}  // namespace
