// The message loop: accelerators for document windows, except for the keys an
// edit control keeps for itself.
#pragma once

#include <windows.h>

// Builds the accelerator table from the key bindings; nullptr on failure.
HACCEL create_accelerators();
// Runs until WM_QUIT and returns its exit code.
int run_message_loop(HACCEL accelerators);
