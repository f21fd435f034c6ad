// The two halves of the matcher behind matcher.h: plain text (plain_match.cpp)
// and Oniguruma (regex_match.cpp). Only the matcher includes this.
#pragma once

#include <cstdint>

#include "search/matcher.h"

// Copies the query into a new needle (folded unless match case is on, then
// MATCHER_PADDING zero bytes) and sets up the candidate test. False when
// memory runs out.
[[nodiscard]] bool prepare_plain_needle(SearchState* state, const uint8_t* query, uint64_t length);

// Compiles a pattern, initialising Oniguruma on first use. On failure returns
// nullptr with the library's message (or a fallback) in `error`.
void* compile_regex(const uint8_t* pattern, uint64_t length, bool ignore_case, char* error, uint32_t error_size);
void free_regex(void* regex);
// Searches [from, end) of the subject that starts at `subject` (anchors refer
// to the subject). Returns the match's offset from `subject`, or -1; with
// `match_end` the end offset is stored there.
int64_t regex_search(void* regex, const uint8_t* subject, const uint8_t* end, const uint8_t* from,
                     uint64_t* match_end);

// Writes text into a caller's error buffer, cut at a character boundary.
void set_error(char* error, uint32_t error_size, const char* text, uint64_t length);
