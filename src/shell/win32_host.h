// The AppHost table of the Windows program, and the host's own duties: the
// settings save, the end of the program when the last window has closed, and
// running script steps.
#pragma once

#include "app/app_host.h"

AppHost win32_host_table();

// Saves the settings now and stops a pending save.
void save_settings_now();
// Runs one script step and arranges the next (a post, or timer 4).
void run_script_step();
