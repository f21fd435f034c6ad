// The headless host, behind tarnwell-cli --test-script: script mode without windows. Jobs run on worker
// threads, the clipboard is held in memory, questions take the script's
// answers and messages become lines of the script's output.
#pragma once

#include <cstdio>

// Runs the program's command line (files, "--settings", "--test-script",
// "--test-out", "--test-ram", "--test-slow-read") and returns the exit code.
// Failures that cannot reach the script's output are told on `diagnostics`.
int run_script_program(int argument_count, const char* const* arguments, FILE* diagnostics);
