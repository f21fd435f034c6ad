#include "app/zoom.h"

#include <gtest/gtest.h>

namespace {

TEST(Zoom, StepsStayWithinTheLimitsAndActualSizeStoresTheDefault) {
    Settings settings;
    set_default_settings(&settings);
    settings.font_size = 23;
    EXPECT_EQ(zoom_font_size(&settings, 1), 24);
    EXPECT_EQ(zoom_font_size(&settings, 1), 24);
    EXPECT_EQ(zoom_font_size(&settings, 0), 10);
    EXPECT_EQ(settings.font_size, 0);
    settings.font_size = 9;
    EXPECT_EQ(zoom_font_size(&settings, -1), 9);
    // A stored size out of range counts as 10, and the first step starts there.
    settings.font_size = 30;
    EXPECT_EQ(zoom_font_size(&settings, 1), 11);
    EXPECT_EQ(settings.font_size, 11);
}

}  // namespace
