// Reading the program's command line.
#include "script/command_line.h"

#include <cstring>

namespace {

// Unsigned decimal within 64 bits; 0 for anything else.
uint64_t read_number(const char* text, uint64_t limit) {
    uint64_t value = 0;
    if (!*text) return 0;
    for (const char* p = text; *p; p++) {
        if (*p < '0' || *p > '9') return 0;
        uint64_t digit = static_cast<uint64_t>(*p - '0');
        if (value > (limit - digit) / 10) return 0;
        value = value * 10 + digit;
    }
    return value;
}

}  // namespace

void read_command_line(int argument_count, const char* const* arguments, const char** files, CommandLine* line) {
    *line = CommandLine{};
    line->files = files;
    for (int i = 1; i < argument_count; i++) {
        const char* argument = arguments[i];
        const char* value = i + 1 < argument_count ? arguments[i + 1] : nullptr;
        bool taken = value != nullptr;
        if (taken && std::strcmp(argument, "--settings") == 0) line->settings = value;
        else if (taken && std::strcmp(argument, "--test-script") == 0) line->test_script = value;
        else if (taken && std::strcmp(argument, "--test-out") == 0) line->test_out = value;
        else if (taken && std::strcmp(argument, "--test-ram") == 0) line->test_ram = read_number(value, UINT64_MAX);
        else if (taken && std::strcmp(argument, "--test-slow-read") == 0)
            line->slow_read_ms = static_cast<uint32_t>(read_number(value, 0xFFFFFFFFu));
        else taken = false;
        if (taken) i++;
        else files[line->file_count++] = argument;
    }
}
