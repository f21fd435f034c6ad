// The view commands: find next and previous, expansion levels, Back and
// Forward, Next problem.
#include "search/match_list.h"
#include "views/view_state.h"
#include "views/view_state_internal.h"

namespace {

uint32_t find_match(ViewState* view, bool backwards) {
    NodeId match = match_at(view->search, next_match_index(view->search, view->selected, backwards));
    if (match == NO_NODE) return 0;
    select_node(view, match, true);
    return 1;
}

uint32_t change_expansion(ViewState* view, uint32_t number) {
    RowModel* model = view->row_model;
    if (view->view_mode != VIEW_MODE_TREE || row_count(model) == 0) return 0;
    if (number == ViewCommand::ExpandAll) {
        expand_all(model);
        // A reload expands everything again while this count stands.
        if (row_count(model) == node_count(view->document)) view->expand_all_count = expanded_count(model);
    } else if (number == ViewCommand::CollapseAll) collapse_all(model);
    else expand_to_level(model, number - ViewCommand::Level1 + 1);
    resynchronise_selection(view);
    note_user_move(view);
    return 1;
}

// Back pops `from` and pushes the selection onto `to`; Forward the reverse.
uint32_t step_history(ViewState* view, NodeId* from, uint32_t* from_count, NodeId* to, uint32_t* to_count) {
    if (*from_count == 0) return 0;
    NodeId id = from[--*from_count];
    if (view->selected != NO_NODE) push_history(to, to_count, view->selected);
    show_node(view, id);
    note_user_move(view);
    return 1;
}

// Error Nodes are only ever records, so only the root's children are visited:
// first those after the selection's record, then from the first record up to
// and including the selection.
uint32_t next_problem(ViewState* view) {
    const Document* doc = view->document;
    NodeId selected = view->selected;
    if (!is_records(doc) || selected == NO_NODE) return 0;
    NodeId count = node_count(doc);
    NodeId after = selected == 0 ? 1 : subtree_end(doc, ancestor_at_depth(doc, selected, 1));
    for (NodeId id = after; id < count; id = subtree_end(doc, id)) {
        if (kind(doc, id) != NodeKind::Error) continue;
        select_node(view, id, true);
        return 1;
    }
    for (NodeId id = 1; id < after && id <= selected; id = subtree_end(doc, id)) {
        if (kind(doc, id) != NodeKind::Error) continue;
        select_node(view, id, true);
        return 1;
    }
    return 0;
}

}  // namespace

uint32_t run_view_command(ViewState* view, uint32_t number) {
    if (!view) return 0;
    switch (number) {
    case ViewCommand::FindNext: return find_match(view, false);
    case ViewCommand::FindPrevious: return find_match(view, true);
    case ViewCommand::Back:
        return step_history(view, view->back, &view->back_count, view->forward, &view->forward_count);
    case ViewCommand::Forward:
        return step_history(view, view->forward, &view->forward_count, view->back, &view->back_count);
    case ViewCommand::NextProblem: return next_problem(view);
    default:
        if (number == ViewCommand::ExpandAll || number == ViewCommand::CollapseAll ||
            (number >= ViewCommand::Level1 && number <= ViewCommand::Level9))
            return change_expansion(view, number);
        return 0;
    }
}
