// The two halves of the matcher behind matcher.h: plain text (plain_match.cpp)
// and Oniguruma (regex_match.cpp). Only the search and its tests include this.
#pragma once

#include <cstdint>

#include "search/matcher.h"

// Copies the query into a new needle (folded unless match case is on, then
// MATCHER_PADDING zero bytes) and sets up the candidate test. False when
// memory runs out.
[[nodiscard]] bool prepare_plain_needle(SearchState* state, const uint8_t* query, uint64_t length);

// find_candidate at each vector width (candidate_scan.cpp).
namespace vector_sse2 {
const uint8_t* find_candidate(const SearchState* state, const uint8_t* start, const uint8_t* end);
}
namespace vector_avx2 {
const uint8_t* find_candidate(const SearchState* state, const uint8_t* start, const uint8_t* end);
}

// Compiles a pattern, initialising Oniguruma on first use. On failure returns
// nullptr with the library's message (or a fallback) in `error`.
constexpr uint64_t REGEX_MOST_BYTES = 0x7FFFFFFF;

void* compile_regex(const uint8_t* pattern, uint64_t length, bool ignore_case, char* error, uint32_t error_size);
void free_regex(void* regex);
// Searches [from, end) of the subject that starts at `subject` (anchors refer
// to the subject). Returns the match's offset from `subject`, or -1; with
// `match_end` the end offset is stored there. Oniguruma reports positions as
// int, so a subject of 2 GB or more is searched in its first REGEX_MOST_BYTES
// bytes only, cut at a character boundary.
int64_t regex_search(void* regex, const uint8_t* subject, const uint8_t* end, const uint8_t* from,
                     uint64_t* match_end);

// The source text of a Node's key or scalar value as matching sees it: a
// quoted key or a String without its quotes, anything else as written.
// `node` is node_at(doc, id).
TextSlice field_source(const Document* doc, NodeId id, const Node* node, bool is_key);

// Writes text into a caller's error buffer, cut at a character boundary.
void set_error(char* error, uint32_t error_size, const char* text, uint64_t length);
