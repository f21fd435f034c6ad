// Compiling and running searches in tests, and the answers a run should give
// worked out the slow way, one field at a time.
#pragma once

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "load_text.h"
#include "search/match_list.h"
#include "search/matcher.h"
#include "search/search_run.h"

struct StateReleaser {
    void operator()(SearchState* state) const { release_search(state); }
};
using StatePtr = std::unique_ptr<SearchState, StateReleaser>;

inline SearchOptions plain_options(uint8_t match_case = 0, SearchScope scope = SearchScope::All, uint32_t limit = 0) {
    return SearchOptions{match_case, 0, static_cast<uint8_t>(scope), limit};
}

inline StatePtr compile_query(Document* doc, const std::string& query, SearchOptions options = plain_options()) {
    return StatePtr(compile_search(doc, reinterpret_cast<const uint8_t*>(query.data()), query.size(), &options,
                                   nullptr, 0));
}

inline std::vector<NodeId> match_list(const SearchState* state) {
    std::vector<NodeId> ids;
    for (uint32_t i = 0; i < match_count(state); i++) ids.push_back(match_at(state, i));
    return ids;
}

// Runs a search to its end and returns its match list.
inline std::vector<NodeId> search_all(Document* doc, const std::string& query, SearchOptions options = plain_options()) {
    StatePtr state = compile_query(doc, query, options);
    if (!state || run_search(state.get(), nullptr) != SEARCH_FINISHED) return {NO_NODE};
    return match_list(state.get());
}

// An array of `count` numbers, 0 except 7 at the given element indexes
// (element i is Node i + 1).
inline std::string numbers(uint32_t count, const std::vector<uint32_t>& sevens) {
    std::string text = "[";
    for (uint32_t i = 0, next = 0; i < count; i++) {
        bool seven = next < sevens.size() && sevens[next] == i;
        next += seven;
        text += seven ? "7," : "0,";
    }
    text.back() = ']';
    return text;
}

// Every Node whose key or value matches, tested field by field.
inline std::vector<NodeId> naive_matches(const Document* doc, const std::string& query, SearchOptions options) {
    StatePtr state = compile_query(const_cast<Document*>(doc), query, options);
    std::vector<NodeId> ids;
    for (NodeId id = 0; state && id < node_count(doc); id++) {
        const Node* node = node_at(doc, id);
        if (field_matches(state.get(), &state->scratch, id, node, true) ||
            field_matches(state.get(), &state->scratch, id, node, false)) {
            ids.push_back(id);
        }
    }
    return ids;
}
