#include "views/search_view.h"

#include <cstdio>
#include <cstring>

#include "base/text_builder.h"
#include "describe/format.h"
#include "search/match_list.h"
#include "search/matcher.h"
#include "views/view_state.h"

void attach_search(ViewState* view, SearchState* state) {
    if (!view) {
        release_search(state);
        return;
    }
    if (view->search != state) release_search(view->search);
    view->search = state;
    view->search_anchor = view->selected != NO_NODE ? view->selected : 0;
    view->user_moved = view->restored ? 1 : 0;
}

void follow_search(ViewState* view) {
    if (!view || !view->search || view->user_moved) return;
    const SearchState* state = view->search;
    // Read before the list: once finished, the list read next is complete.
    bool finished = is_finished(state);
    if (match_count(state) == 0) return;
    NodeId anchor = view->search_anchor;
    NodeId target = match_at(state, anchor == 0 ? 0 : next_match_index(state, anchor - 1, false));
    if (target < anchor) {  // wrapped: nothing at or after the anchor so far
        if (!finished) return;
        target = match_at(state, 0);
    }
    if (target != view->selected) select_node(view, target, false);
}

uint64_t format_search_counter(const SearchState* state, NodeId selected, void* buffer, uint64_t size) {
    char text[2 * COUNT_TEXT_SIZE + 16] = "";
    if (state) {
        bool finished = is_finished(state);
        uint32_t count = match_count(state);
        const char* plus = limit_reached(state) ? "+" : "";
        char total[COUNT_TEXT_SIZE];
        format_count(count, total, sizeof total);
        uint32_t index = match_index_of(state, selected);
        if (!finished) {
            std::snprintf(text, sizeof text, "%s so far", total);
        } else if (count == 0) {
            std::snprintf(text, sizeof text, "No matches");
        } else if (index != NO_MATCH) {
            char position[COUNT_TEXT_SIZE];
            format_count(uint64_t{index} + 1, position, sizeof position);
            std::snprintf(text, sizeof text, "%s of %s%s", position, total, plus);
        } else {
            std::snprintf(text, sizeof text, "%s%s %s", total, plus, count == 1 && !*plus ? "match" : "matches");
        }
    }
    return copy_out(text, std::strlen(text), buffer, size);
}

uint64_t search_counter_text(const ViewState* view, void* buffer, uint64_t size) {
    return format_search_counter(view ? view->search : nullptr, view ? view->selected : NO_NODE, buffer, size);
}
