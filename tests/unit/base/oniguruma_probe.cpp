// Kept apart from the test file: oniguruma.h and the POSIX <regex.h> that
// GoogleTest includes both define struct re_registers.
#include "oniguruma_probe.h"

#include <oniguruma.h>

#include <cstring>

OnigProbe onig_probe_search(const char* pattern, const char* subject, bool ignore_case) {
    OnigProbe result{};
    OnigEncoding encodings[] = {ONIG_ENCODING_UTF8};
    if (onig_initialize(encodings, 1) != ONIG_NORMAL) return result;
    regex_t* regex = nullptr;
    OnigErrorInfo error;
    auto pattern_start = reinterpret_cast<const OnigUChar*>(pattern);
    result.compile_code = onig_new(&regex, pattern_start, pattern_start + std::strlen(pattern),
                                   ignore_case ? ONIG_OPTION_IGNORECASE : ONIG_OPTION_NONE,
                                   ONIG_ENCODING_UTF8, ONIG_SYNTAX_ONIGURUMA, &error);
    if (result.compile_code != ONIG_NORMAL) {
        OnigUChar text[ONIG_MAX_ERROR_MESSAGE_LEN];
        result.error_length = onig_error_code_to_str(text, result.compile_code, &error);
    } else {
        OnigRegion* region = onig_region_new();
        auto start = reinterpret_cast<const OnigUChar*>(subject);
        auto end = start + std::strlen(subject);
        result.match_start = onig_search(regex, start, end, start, end, region, ONIG_OPTION_NONE);
        if (result.match_start >= 0) result.match_end = region->end[0];
        onig_region_free(region, 1);
        onig_free(regex);
    }
    onig_end();
    return result;
}
