#include "app/theme.h"

#include "files/settings.h"

bool theme_is_dark(int32_t setting, bool system_read, uint32_t apps_use_light) {
    if (setting == THEME_DARK) return true;
    if (setting == THEME_LIGHT) return false;
    return system_read && apps_use_light == 0;
}

uint32_t preferred_app_mode(int32_t setting) {
    if (setting == THEME_DARK) return 2;
    if (setting == THEME_LIGHT) return 3;
    return 1;
}
