// The state both views of one shown Document share: which view shows, the
// selected Node, the text view's caret and anchor lines, the Back and Forward
// history, the type-ahead buffer and the attached search. It turns keys,
// clicks and view commands into changes of selection and expansion, and
// tells the list control when the selection should be scrolled into view.
//
// Only select_node and the commands that go through it (find next/previous,
// Next problem, Go to Path, breadcrumbs) record history; Back and Forward
// move between their own two stacks. Keyboard moves, clicks and type-ahead
// never do.
//
// Every operation ignores a missing ViewState, rows or lines beyond the
// current view and NodeIds beyond the Document.
#pragma once

#include <cstdint>

#include "core/document.h"
#include "paths/path_format.h"
#include "views/row_model.h"
#include "views/row_paint.h"

struct SearchState;
struct TextView;
struct ReloadSnapshot;

constexpr uint32_t NO_LINE = 0xFFFFFFFF;  // also "no row"
constexpr uint32_t HISTORY_SIZE = 64;
constexpr uint32_t TYPE_AHEAD_SIZE = 64;
// Characters typed further apart than this start a new type-ahead prefix.
constexpr uint64_t TYPE_AHEAD_PAUSE_MS = 999;

constexpr uint32_t VIEW_MODE_TREE = 0;
constexpr uint32_t VIEW_MODE_TEXT = 1;

// Key codes as the list control hands them in.
namespace ViewKey {
constexpr uint32_t Up = 256;
constexpr uint32_t Down = 257;
constexpr uint32_t Left = 258;
constexpr uint32_t Right = 259;
constexpr uint32_t PageUp = 260;
constexpr uint32_t PageDown = 261;
constexpr uint32_t Home = 262;
constexpr uint32_t End = 263;
constexpr uint32_t Space = 264;
constexpr uint32_t Enter = 265;
// The list passes these on too; no view movement answers to them.
constexpr uint32_t Escape = 266;
constexpr uint32_t F3 = 267;
constexpr uint32_t F5 = 268;
}  // namespace ViewKey

namespace KeyModifier {
constexpr uint32_t Shift = 1;
constexpr uint32_t Alt = 2;
constexpr uint32_t Ctrl = 4;
}  // namespace KeyModifier

// The commands a ViewState carries out itself.
namespace ViewCommand {
constexpr uint32_t FindNext = 0;
constexpr uint32_t FindPrevious = 1;
constexpr uint32_t ExpandAll = 2;
constexpr uint32_t CollapseAll = 3;
constexpr uint32_t Back = 4;
constexpr uint32_t Forward = 5;
constexpr uint32_t NextProblem = 6;
constexpr uint32_t Level1 = 7;  // Level1 + n - 1 expands to level n, for n = 1 to 9
constexpr uint32_t Level9 = 15;
}  // namespace ViewCommand

struct ViewState {
    Document* document;    // retained
    RowModel* row_model;   // owned
    TextView* text_view;   // owned; none until a text view has been built
    uint32_t view_mode;    // VIEW_MODE_TREE or VIEW_MODE_TEXT (only while a text
                           // view is held)
    NodeId selected;       // NO_NODE only for an empty Document
    uint32_t caret_line;   // text view only, else NO_LINE
    uint32_t anchor_line;  // text view only: the other end of the selected line range
    uint8_t scroll_request;
    NodeId back[HISTORY_SIZE];  // oldest first
    uint32_t back_count;
    NodeId forward[HISTORY_SIZE];  // oldest first
    uint32_t forward_count;
    SearchState* search;              // owned, or none
    NodeId search_anchor;             // the selection when the search was attached (0 without
                                      // one)
    uint8_t user_moved;               // the user moved the selection since the search was attached
    uint8_t restored;                 // made by a reload that restored an earlier state
    uint32_t typed[TYPE_AHEAD_SIZE];  // lower-cased code points
    uint32_t typed_count;
    uint64_t typed_tick;  // milliseconds of the last typed character
    // Reload bookkeeping: a snapshot whose selection, top row or expansion
    // could not all be placed yet, kept for the next reload.
    ReloadSnapshot* pending_snapshot;
    uint8_t selection_pending;
    uint8_t top_row_pending;
    uint32_t expand_all_count;  // expanded count left by Expand All, or none
    uint32_t restored_top_row;  // the scroll position a restore chose, or none
    uint32_t pending_expanded;  // expanded entries of the snapshot not placed yet,
                                // or none
};

// Retains the Document and creates its RowModel, the root selected; applies
// the initial expansion when asked. nullptr when memory runs out.
[[nodiscard]] ViewState* create_view_state(Document* doc, bool with_initial_expansion);
void release_view_state(ViewState* view);

Document* document(const ViewState* view);
RowModel* row_model(const ViewState* view);
TextView* text_view(const ViewState* view);
uint32_t view_mode(const ViewState* view);
NodeId selected_node(const ViewState* view);
SearchState* search(const ViewState* view);
// Lines of the text in the text view, rows of the tree in the tree view.
uint32_t visible_row_count(const ViewState* view);
// The caret line in the text view; the row of the selection in the tree view.
uint32_t selected_row(const ViewState* view);
uint32_t anchor_line(const ViewState* view);  // NO_LINE outside the text view
// Whether `row` is the selected row or, in the text view, one of the selected
// lines between the anchor and the caret.
bool row_is_selected(const ViewState* view, uint32_t row);

// The row to scroll into view when the selection moved since the last call
// (clearing the request), else NO_LINE.
uint32_t take_scroll_request(ViewState* view);

// Selects a Node, recording the previous selection in the Back history.
// `by_user` also empties the type-ahead buffer and marks a user move.
void select_node(ViewState* view, NodeId id, bool by_user);

// 1 when the view shows `mode` afterwards, 0 when refused (no text view yet,
// or an unknown mode).
uint32_t set_view_mode(ViewState* view, uint32_t mode);
// Takes ownership of a newly built text view, or drops the one held (none).
void set_text_view(ViewState* view, TextView* text);

// 1 when the key was handled, 0 when the caller should try its accelerators.
// `page_rows` is the number of whole rows that fit, less one.
uint32_t navigate_key(ViewState* view, uint32_t key, uint32_t modifiers, uint32_t page_rows);
void click_row(ViewState* view, uint32_t row, bool on_chevron, uint32_t modifiers);
void double_click_row(ViewState* view, uint32_t row);
// Tree view: selects the next row whose key (or index, for digits) starts
// with the characters typed so far. 1 when a row was found.
uint32_t type_ahead(ViewState* view, uint32_t code_point, uint64_t now_ms);
// A ViewCommand; 1 when done, 0 when it did not apply.
uint32_t run_view_command(ViewState* view, uint32_t number);

// The selection's ancestors, root first, as breadcrumbs.
uint32_t breadcrumb_count(const ViewState* view);
uint64_t breadcrumb_text(const ViewState* view, uint32_t level, void* buffer, uint64_t size);
void select_breadcrumb(ViewState* view, uint32_t level);

// Selects the Node a typed path names: 1, or 0 with the reason in `message`
// (snprintf contract; empty when there is no text at all).
uint32_t go_to_path(ViewState* view, const char* text, uint64_t length, char* message, uint64_t message_size);
// The selection's path (snprintf contract).
uint64_t copy_selection_path(const ViewState* view, PathStyle style, void* buffer, uint64_t size);

// Fills `paint` for one row of the current view, marking the search matches;
// the selection is the current match when the search found it.
void paint_row(const ViewState* view, uint32_t row, uint32_t budget, RowPaint* paint);
