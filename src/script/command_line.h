// The program's command line: files to open and the options "--settings",
// "--test-script", "--test-out", "--test-ram" and "--test-slow-read". Option
// names are compared exactly; a later repeat of an option replaces the
// earlier value; an option given last, without its value, is a file name.
#pragma once

#include <cstdint>

// Where a script writes when no "--test-out" is given.
constexpr char DEFAULT_SCRIPT_OUTPUT[] = "build/tmp/win-test.out";
constexpr char SCRIPT_NEEDS_SETTINGS[] = "script-error=--test-script needs --settings <file>\n";

struct CommandLine {
    const char* settings;     // nullptr when not given
    const char* test_script;  // script mode is on when given
    const char* test_out;
    uint64_t test_ram;         // bytes; 0 when not given or not a number
    uint32_t slow_read_ms;     // 0 when not given or not a number
    const char** files;        // the caller's array of at least argument_count entries
    uint32_t file_count;
};

// Reads arguments[1 ...]; the first is the program's own name. `files` must
// have room for argument_count entries.
void read_command_line(int argument_count, const char* const* arguments, const char** files, CommandLine* line);
