// The search matcher: does a Node's key or value contain the query?
//
// A query is compiled once into a SearchState, which the search run then
// applies to every Node and which also holds the run's match list. Plain mode
// matches in the Document's source text directly, finding candidate positions
// eight bytes per step, and decodes a field only when it holds escapes. Regex
// mode hands one field at a time to Oniguruma.
//
// Case-insensitive plain matching folds ASCII and U+00C0-U+017F only (the same
// table for query and text); regex mode uses Oniguruma's full Unicode folding,
// so the two modes differ on other scripts.
//
// Every buffer the matcher reads is followed by at least 9 zero bytes (the
// Document's text by 64), so word-wide reads past a field's end are safe.
#pragma once

#include <atomic>
#include <cstdint>

#include "core/document.h"

enum class SearchScope : uint8_t { All = 0, Keys = 1, Values = 2 };

struct SearchOptions {
    uint8_t match_case;  // 1: exact bytes; 0: ignore case
    uint8_t regex;       // 1: the query is a regular expression
    uint8_t scope;       // SearchScope
    uint32_t limit;      // most matches to keep; 0 means DEFAULT_MATCH_LIMIT
};

constexpr uint32_t DEFAULT_MATCH_LIMIT = 10000000;
constexpr uint32_t MATCH_BLOCK_SIZE = 65536;
// Zero bytes after the needle and after decoded field text.
constexpr uint32_t MATCHER_PADDING = 9;
// Most ranges a row or a text-view line asks find_marks for.
constexpr uint32_t MAX_ROW_MARKS = 256;

// A growable buffer for decoded field text, always followed by
// MATCHER_PADDING zero bytes.
struct SearchScratch {
    uint8_t* bytes;
    uint64_t capacity;
};

struct SearchState {
    Document* document;  // retained
    uint8_t match_case;
    uint8_t regex;
    uint8_t keys;    // scope includes keys
    uint8_t values;  // scope includes values
    uint32_t limit;
    // Plain mode: the query, folded unless match case is on, then 9 zero bytes.
    uint8_t* needle;
    uint64_t needle_length;
    // Candidate test, applied to every text position (see find_candidate).
    uint64_t first_fold_mask;     // 0x20 in every byte when needle[0] is a small letter and case is ignored
    uint64_t second_fold_mask;    // the same for needle[1]
    uint64_t dotless_candidates;  // all ones when case is ignored and the needle starts with i: every
                                  // 0xC4 byte is a candidate, for U+0130
    uint32_t first_byte;
    uint32_t first_byte_alternative;
    uint32_t second_byte;
    uint32_t second_byte_alternative;
    uint8_t use_second_byte;
    void* compiled_regex;  // regex mode: an OnigRegex, opaque so that oniguruma.h stays private
    // The match list, filled by the search run: blocks of MATCH_BLOCK_SIZE
    // NodeIds, each allocated when its first match is stored.
    NodeId** match_blocks;
    uint32_t block_count;
    std::atomic<uint32_t> match_count;  // stored last, with release ordering
    std::atomic<uint8_t> limit_reached;
    std::atomic<uint8_t> finished;
    uint8_t started;
    uint32_t run_status;  // 0 finished or running, 1 cancelled, 2 out of memory
    SearchScratch scratch;
};

// Compiles a query. Returns nullptr for an empty query (error left empty), an
// invalid regular expression, a regex query that is not valid UTF-8, or
// exhausted memory, with the message in `error` (snprintf contract, cut at a
// character boundary). No options: ignore case, plain, all, default limit.
[[nodiscard]] SearchState* compile_search(Document* doc, const uint8_t* query, uint64_t query_length,
                                          const SearchOptions* options, char* error, uint32_t error_size);
void release_search(SearchState* state);

// 1 when the key (is_key) or the scalar value of the Node matches, 0 when not
// (also outside the scope, without a key, for containers), -1 when memory for
// decoding ran out. `node` is node_at(document, id).
[[nodiscard]] int field_matches(SearchState* state, SearchScratch* scratch, NodeId id, const Node* node, bool is_key);

struct PlainMatch {
    const uint8_t* start;  // nullptr when there is none
    const uint8_t* end;
};

// Plain mode: the first position in [start, end) that passes the candidate
// test on the needle's first two bytes and leaves at least needle_length bytes,
// or nullptr. Reads up to 9 bytes past `end`.
const uint8_t* find_candidate(const SearchState* state, const uint8_t* start, const uint8_t* end);
// Plain mode: the first occurrence of the needle inside [start, end).
PlainMatch find_plain(const SearchState* state, const uint8_t* start, const uint8_t* end);

// The occurrences of the query in one piece of decoded text, for marking them
// on a row or line: writes the offsets and byte lengths of at most `max` of
// them (in text order, never overlapping, empty regex matches skipped) and
// returns how many there are in all. 0 for a key when the scope excludes keys,
// for a value when it excludes values, and without a state.
uint32_t find_marks(const SearchState* state, const uint8_t* text, uint64_t length, bool is_key, uint32_t* starts,
                    uint32_t* lengths, uint32_t max);
