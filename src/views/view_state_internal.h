// Steps the ViewState's operations share, split over view_state.cpp,
// view_keys.cpp and view_commands.cpp.
#pragma once

#include "views/view_state.h"

inline bool in_text_view(const ViewState* view) { return view->view_mode == VIEW_MODE_TEXT; }

// After reveal and every expansion change in the tree view: the selection
// moves up to its nearest ancestor that is a row (row 0's Node, or NO_NODE,
// when none is).
void resynchronise_selection(ViewState* view);
// What every navigation by the user does besides moving: the type-ahead
// buffer empties, the move counts as the user's, the selection is scrolled to.
void note_user_move(ViewState* view);
// Pushes onto a 64-entry history stack, dropping the oldest entry when full.
void push_history(NodeId* stack, uint32_t* count, NodeId id);
// The text-view line of a Node, or NO_LINE when it has none within the text.
uint32_t line_of_node_in_text(const ViewState* view, NodeId id);
// Moves the selection to a Node without recording history: reveals it in the
// tree view, puts the caret on its line in the text view.
void show_node(ViewState* view, NodeId id);
