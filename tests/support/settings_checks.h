// What every parsed Settings record promises, and record equality, shared by
// the unit tests and the settings fuzz target.
#pragma once

#include <string>

#include "files/settings.h"

// Empty when the record is valid (every field in range, the recent entries
// distinct valid paths, unused slots and bytes after each NUL zero), else a
// description of the first fault.
std::string check_settings_invariants(const Settings& settings);
// Field by field, including every byte of the recent slots.
bool same_settings(const Settings& a, const Settings& b);
// The text format_settings writes.
std::string formatted_settings(const Settings& settings);
