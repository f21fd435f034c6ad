// The commands that are about windows, which run_command leaves to the host:
// the Open dialog, Close, Exit and the text size.
#pragma once

#include <cstdint>

struct DocWindow;

// The DocWindow may be gone when this returns.
void run_window_command(void* context, DocWindow* window, uint32_t command_id);
