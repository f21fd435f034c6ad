#pragma once

struct OnigProbe {
    int compile_code;   // ONIG_NORMAL (0) when the pattern compiled
    int error_length;   // length of the compile error's text
    int match_start;    // byte offset of the first match, or negative
    int match_end;
};

OnigProbe onig_probe_search(const char* pattern, const char* subject, bool ignore_case);
