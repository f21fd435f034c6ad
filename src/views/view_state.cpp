#include "views/view_state.h"

#include <cstring>

#include "base/memory.h"
#include "paths/path_resolve.h"
#include "search/match_list.h"
#include "search/matcher.h"
#include "views/reload_snapshot.h"
#include "views/text_view.h"
#include "views/tree_row.h"
#include "views/view_state_internal.h"

namespace {

bool valid_node(const ViewState* view, NodeId id) { return id < node_count(view->document); }

// Caret and anchor on the selection's line, else on line 0; none for a text
// without lines.
void place_caret_on_selection(ViewState* view) {
    uint32_t line = line_of_node_in_text(view, view->selected);
    if (line == NO_LINE && text_line_count(view->text_view) > 0) line = 0;
    view->caret_line = line;
    view->anchor_line = line;
    view->scroll_request = 1;
}

// Back to the tree: the caret's Node when the caret has moved off the
// selection's line, else the selection, is revealed and selected.
void leave_text_view(ViewState* view) {
    NodeId caret_node = node_of_line(view->text_view, view->caret_line);
    NodeId chosen = view->selected;
    if (chosen == NO_NODE) {
        chosen = caret_node;
    } else if (caret_node != NO_NODE && line_of_node(view->text_view, view->selected) != view->caret_line) {
        chosen = caret_node;
    }
    view->view_mode = VIEW_MODE_TREE;
    view->caret_line = NO_LINE;
    view->anchor_line = NO_LINE;
    if (valid_node(view, chosen)) show_node(view, chosen);
    else resynchronise_selection(view);
    view->scroll_request = 1;
}

}  // namespace

void resynchronise_selection(ViewState* view) {
    const RowModel* model = view->row_model;
    NodeId id = view->selected;
    while (id != NO_NODE && row_of_node(model, id) == NO_LINE) id = parent(view->document, id);
    view->selected = id != NO_NODE ? id : node_at_row(model, 0);
}

void note_user_move(ViewState* view) {
    view->typed_count = 0;
    view->user_moved = 1;
    view->scroll_request = 1;
}

void push_history(NodeId* stack, uint32_t* count, NodeId id) {
    if (*count == HISTORY_SIZE) {
        std::memmove(stack, stack + 1, (HISTORY_SIZE - 1) * sizeof(NodeId));
        (*count)--;
    }
    stack[(*count)++] = id;
}

uint32_t line_of_node_in_text(const ViewState* view, NodeId id) {
    uint32_t line = line_of_node(view->text_view, id);
    return line < text_line_count(view->text_view) ? line : NO_LINE;
}

void show_node(ViewState* view, NodeId id) {
    view->selected = id;
    if (in_text_view(view)) {
        uint32_t line = line_of_node_in_text(view, id);
        if (line != NO_LINE) {
            view->caret_line = line;
            view->anchor_line = line;
        }
    } else {
        reveal(view->row_model, id);
        resynchronise_selection(view);
    }
}

ViewState* create_view_state(Document* doc, bool with_initial_expansion) {
    if (!doc) return nullptr;
    ViewState* view = static_cast<ViewState*>(mem_alloc_zeroed(sizeof(ViewState)));
    if (!view) return nullptr;
    view->row_model = create_row_model(doc);
    if (!view->row_model) {
        mem_free(view);
        return nullptr;
    }
    view->document = retain(doc);
    view->view_mode = VIEW_MODE_TREE;
    view->selected = node_count(doc) > 0 ? 0 : NO_NODE;
    view->caret_line = NO_LINE;
    view->anchor_line = NO_LINE;
    view->expand_all_count = NO_NODE;
    view->restored_top_row = NO_LINE;
    view->pending_expanded = NO_NODE;
    if (with_initial_expansion) initial_expansion(view->row_model);
    return view;
}

void release_view_state(ViewState* view) {
    if (!view) return;
    release_search(view->search);
    release_text_view(view->text_view);
    release_row_model(view->row_model);
    release_snapshot(view->pending_snapshot);
    release(view->document);
    mem_free(view);
}

Document* document(const ViewState* view) { return view ? view->document : nullptr; }
RowModel* row_model(const ViewState* view) { return view ? view->row_model : nullptr; }
TextView* text_view(const ViewState* view) { return view ? view->text_view : nullptr; }
uint32_t view_mode(const ViewState* view) { return view ? view->view_mode : VIEW_MODE_TREE; }
NodeId selected_node(const ViewState* view) { return view ? view->selected : NO_NODE; }
SearchState* search(const ViewState* view) { return view ? view->search : nullptr; }

uint32_t visible_row_count(const ViewState* view) {
    if (!view) return 0;
    return in_text_view(view) ? text_line_count(view->text_view) : row_count(view->row_model);
}

uint32_t selected_row(const ViewState* view) {
    if (!view) return NO_LINE;
    return in_text_view(view) ? view->caret_line : row_of_node(view->row_model, view->selected);
}

uint32_t anchor_line(const ViewState* view) { return view && in_text_view(view) ? view->anchor_line : NO_LINE; }

bool row_is_selected(const ViewState* view, uint32_t row) {
    uint32_t caret = selected_row(view);
    if (row == NO_LINE || caret == NO_LINE) return false;
    uint32_t anchor = anchor_line(view);
    if (anchor == NO_LINE) return row == caret;
    return row >= (anchor < caret ? anchor : caret) && row <= (anchor < caret ? caret : anchor);
}

uint32_t take_scroll_request(ViewState* view) {
    if (!view || !view->scroll_request) return NO_LINE;
    view->scroll_request = 0;
    return selected_row(view);
}

void select_node(ViewState* view, NodeId id, bool by_user) {
    if (!view || !valid_node(view, id)) return;
    if (by_user) {
        view->typed_count = 0;
        view->user_moved = 1;
    }
    if (id != view->selected && view->selected != NO_NODE) {
        push_history(view->back, &view->back_count, view->selected);
        view->forward_count = 0;
    }
    show_node(view, id);
    view->scroll_request = 1;
}

uint32_t set_view_mode(ViewState* view, uint32_t mode) {
    if (!view) return 0;
    if (mode == VIEW_MODE_TEXT) {
        if (!view->text_view) return 0;
        if (!in_text_view(view)) {
            view->view_mode = VIEW_MODE_TEXT;
            place_caret_on_selection(view);
        }
        return 1;
    }
    if (mode != VIEW_MODE_TREE) return 0;
    if (in_text_view(view)) leave_text_view(view);
    return 1;
}

void set_text_view(ViewState* view, TextView* text) {
    if (!view || text == view->text_view) return;
    if (in_text_view(view) && !text) leave_text_view(view);
    release_text_view(view->text_view);
    view->text_view = text;
    if (in_text_view(view)) place_caret_on_selection(view);
}

uint32_t breadcrumb_count(const ViewState* view) {
    return view ? node_chain_length(view->document, view->selected) : 0;
}

uint64_t breadcrumb_text(const ViewState* view, uint32_t level, void* buffer, uint64_t size) {
    NodeId id = view ? ancestor_at_depth(view->document, view->selected, level) : NO_NODE;
    if (id == NO_NODE) {
        if (buffer && size) static_cast<char*>(buffer)[0] = 0;
        return 0;
    }
    return breadcrumb_label(view->document, id, buffer, size);
}

void select_breadcrumb(ViewState* view, uint32_t level) {
    if (!view) return;
    NodeId id = ancestor_at_depth(view->document, view->selected, level);
    if (id != NO_NODE) select_node(view, id, true);
}

uint32_t go_to_path(ViewState* view, const char* text, uint64_t length, char* message, uint64_t message_size) {
    if (message && message_size) message[0] = 0;
    if (!view || !text) return 0;
    NodeId id =
        resolve_path(view->document, text, static_cast<size_t>(length), message, static_cast<size_t>(message_size));
    if (id == NO_NODE) return 0;
    select_node(view, id, true);
    return 1;
}

uint64_t copy_selection_path(const ViewState* view, PathStyle style, void* buffer, uint64_t size) {
    if (buffer && size) static_cast<char*>(buffer)[0] = 0;
    return view ? format_path(view->document, view->selected, style, buffer, size) : 0;
}

void paint_row(const ViewState* view, uint32_t row, uint32_t budget, RowPaint* paint) {
    if (!paint) return;
    if (!view) {
        reset_row_paint(paint);
        return;
    }
    NodeId current = match_index_of(view->search, view->selected) != NO_MATCH ? view->selected : NO_NODE;
    if (in_text_view(view)) build_text_line(view->text_view, row, TEXT_LINE_BUDGET, view->search, current, paint);
    else build_tree_row(view->row_model, row, budget, view->search, current, paint);
}
