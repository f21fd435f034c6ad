#include "app/theme.h"

#include <gtest/gtest.h>

#include "files/settings.h"

TEST(Theme, SettingOverridesTheSystem) {
    EXPECT_TRUE(theme_is_dark(THEME_DARK, true, 1));
    EXPECT_TRUE(theme_is_dark(THEME_DARK, false, 0));
    EXPECT_FALSE(theme_is_dark(THEME_LIGHT, true, 0));
    EXPECT_EQ(preferred_app_mode(THEME_DARK), 2u);
    EXPECT_EQ(preferred_app_mode(THEME_LIGHT), 3u);
}

// Any value but 1 and 2 follows the system; only a read value of 0 is dark.
TEST(Theme, FollowingTheSystem) {
    for (int32_t setting : {THEME_FOLLOW_SYSTEM, 3, -1, 7}) {
        EXPECT_TRUE(theme_is_dark(setting, true, 0)) << setting;
        EXPECT_FALSE(theme_is_dark(setting, true, 1)) << setting;
        EXPECT_FALSE(theme_is_dark(setting, true, 2)) << setting;
        EXPECT_FALSE(theme_is_dark(setting, false, 0)) << setting;
        EXPECT_EQ(preferred_app_mode(setting), 1u) << setting;
    }
}
