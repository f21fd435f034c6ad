// Regular expressions through Oniguruma. The only file that includes
// oniguruma.h: its types clash with POSIX <regex.h>.
#include <oniguruma.h>

#include <atomic>
#include <thread>

#include "base/utf8.h"
#include "search/matcher_internal.h"

namespace {

// Oniguruma is initialised once per process, by the first compile:
// 0 not started, 1 in progress, 2 done. Latecomers wait for 2.
std::atomic<uint32_t> onig_ready{0};

void initialise_once() {
    uint32_t expected = 0;
    if (onig_ready.compare_exchange_strong(expected, 1, std::memory_order_acq_rel)) {
        OnigEncoding encodings[] = {ONIG_ENCODING_UTF8};
        onig_initialize(encodings, 1);
        onig_ready.store(2, std::memory_order_release);
        return;
    }
    while (onig_ready.load(std::memory_order_acquire) != 2) std::this_thread::yield();
}

void set_onig_error(char* error, uint32_t error_size, int code, OnigErrorInfo* info) {
    OnigUChar message[ONIG_MAX_ERROR_MESSAGE_LEN];
    int length = info ? onig_error_code_to_str(message, code, info) : onig_error_code_to_str(message, code);
    if (length <= 0) {
        static const char FALLBACK[] = "invalid regular expression";
        set_error(error, error_size, FALLBACK, sizeof FALLBACK - 1);
        return;
    }
    set_error(error, error_size, reinterpret_cast<const char*>(message), static_cast<uint64_t>(length));
}

}  // namespace

void* compile_regex(const uint8_t* pattern, uint64_t length, bool ignore_case, char* error, uint32_t error_size) {
    // Oniguruma is handed only valid UTF-8; anything else gets its message for
    // an invalid code point.
    if (!utf8_is_valid(pattern, length)) {
        set_onig_error(error, error_size, ONIGERR_INVALID_CODE_POINT_VALUE, nullptr);
        return nullptr;
    }
    initialise_once();
    OnigRegex regex = nullptr;
    OnigErrorInfo info{};
    int code = onig_new(&regex, pattern, pattern + length, ignore_case ? ONIG_OPTION_IGNORECASE : ONIG_OPTION_NONE,
                        ONIG_ENCODING_UTF8, ONIG_SYNTAX_ONIGURUMA, &info);
    if (code != ONIG_NORMAL) {
        set_onig_error(error, error_size, code, &info);
        return nullptr;
    }
    return regex;
}

void free_regex(void* regex) {
    if (regex) onig_free(static_cast<OnigRegex>(regex));
}

int64_t regex_search(void* regex, const uint8_t* subject, const uint8_t* end, const uint8_t* from,
                     uint64_t* match_end) {
    uint64_t length = static_cast<uint64_t>(end - subject);
    if (length > REGEX_MOST_BYTES) {
        end = subject + utf8_cut_point(subject, length, REGEX_MOST_BYTES);
        if (from > end) return -1;
    }
    OnigRegex compiled = static_cast<OnigRegex>(regex);
    if (!match_end) {
        int found = onig_search(compiled, subject, end, from, end, nullptr, ONIG_OPTION_NONE);
        return found >= 0 ? found : -1;
    }
    OnigRegion region;
    onig_region_init(&region);
    int found = onig_search(compiled, subject, end, from, end, &region, ONIG_OPTION_NONE);
    if (found >= 0) *match_end = static_cast<uint64_t>(region.end[0]);
    onig_region_free(&region, 0);
    return found >= 0 ? found : -1;
}
