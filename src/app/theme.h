// Which palette applies: the setting `theme`, or, when that follows the
// system (0 or any value that is not 1 or 2), the system's "apps use the
// light theme" value.
#pragma once

#include <cstdint>

// `system_read` is false when the system's value could not be read, which
// counts as light; a read value of 0 means dark.
bool theme_is_dark(int32_t setting, bool system_read, uint32_t apps_use_light);

// The mode a program asks the system for its menus: 2 always dark, 3 always
// light, 1 dark allowed when the system is dark.
uint32_t preferred_app_mode(int32_t setting);
