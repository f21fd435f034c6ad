#include "app/window_placement.h"

#include <gtest/gtest.h>

#include "test_host.h"

namespace {

TEST(WindowPlacement, NewWindowsCascadeUntilTheWorkAreaEnds) {
    const ScreenRect work{0, 0, 1920, 1040};
    struct Case {
        ScreenRect newest;
        float scale;
        int32_t x, y;
    };
    const Case cases[] = {
        {{100, 50, 1200, 810}, 1.0f, 126, 76},
        {{100, 50, 1200, 810}, 1.5f, 139, 89},
        {{794, 254, 1894, 1014}, 1.0f, 820, 280},  // ends exactly at the edges
        {{795, 100, 1895, 860}, 1.0f, 26, 26},     // one pixel beyond the right
        {{100, 255, 1200, 1015}, 1.0f, 26, 26},
        {{INT32_MAX - 10, 0, INT32_MAX, 10}, 1.0f, 26, 26},
    };
    for (const Case& c : cases) {
        PixelRect rect = cascade_window_rect(c.newest, work, c.scale);
        EXPECT_EQ(rect.x, c.x) << c.newest.left;
        EXPECT_EQ(rect.y, c.y) << c.newest.left;
        EXPECT_EQ(rect.width, c.newest.right - c.newest.left);
    }
}

TEST(WindowPlacement, TheSavedRectangleOnlyWhenAMonitorShowsIt) {
    const ScreenRect monitors[] = {{0, 0, 1920, 1080}, {1920, 0, 3840, 1080}};
    struct Case {
        int32_t saved[4];
        bool used;
    };
    const Case cases[] = {
        {{3000, 500, 800, 600}, true},   {{-700, -500, 800, 600}, true}, {{-800, 0, 800, 600}, false},
        {{100, 100, 0, 600}, false},     {{INT32_MAX - 5, 0, INT32_MAX, 600}, false},
        {{-100, -100, INT32_MAX, INT32_MAX}, true},
    };
    for (const Case& c : cases) {
        PixelRect rect{};
        EXPECT_EQ(saved_window_rect(c.saved, monitors, 2, &rect), c.used) << c.saved[0] << "," << c.saved[1];
    }
}

TEST(WindowPlacement, OnlyANormalWindowOverNinetyNinePixelsIsRemembered) {
    TestHost host;
    const int32_t* saved = host.app.settings.window;
    remember_window_rect(&host.app, {-8, -8, 92, 92}, false);
    EXPECT_EQ(saved[0], -8);
    EXPECT_EQ(saved[2], 100);
    remember_window_rect(&host.app, {0, 0, 500, 500}, true);
    remember_window_rect(&host.app, {0, 0, 99, 500}, false);
    remember_window_rect(&host.app, {INT32_MIN, 0, INT32_MAX, 500}, false);  // wider than a width can be
    EXPECT_EQ(saved[0], -8);
    EXPECT_EQ(saved[2], 100);
}

TEST(WindowPlacement, TheNormalRectangleComesBackInScreenCoordinates) {
    // A taskbar 48 pixels wide on the left of the second monitor.
    const ScreenRect monitor{1920, 0, 3840, 1080}, work{1968, 0, 3840, 1080};
    ScreenRect rect = normal_rect_on_screen({100, 50, 900, 650}, monitor, work);
    EXPECT_EQ(rect.left, 148);
    EXPECT_EQ(rect.right, 948);
    EXPECT_EQ(rect.top, 50);
    rect = normal_rect_on_screen({INT32_MAX - 10, 0, INT32_MAX, 10}, monitor, work);
    EXPECT_EQ(rect.right, INT32_MAX);
}

}  // namespace
