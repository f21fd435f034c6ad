// What a view remembers across a reload, and how it is found again in the new
// Document: every remembered Node is located by its path of keys and indices
// from the root, never by its NodeId.
//
// Entries form a tree kept in pre-order: each entry names its parent entry
// (NO_ENTRY for the root), so a Node's ancestors are recorded once and shared
// by all the Nodes below them. An entry holds the Node's index among its
// parent's children and, for an object member, its decoded key as a range of
// the key pool. Only expanded Nodes, the selection and the first visible tree
// row are recorded, each with its ancestors; a view with more than 100,000
// expanded Nodes, or everything expanded by Expand All, keeps the single
// all_expanded flag instead.
//
//   { "a": { "x": 1 }, "b": [ 10, 20 ] }   with b expanded, b[1] selected:
//   entry 0  root           parent none  index 0  expanded
//   entry 1  key "b"        parent 0     index 1  expanded
//   entry 2  (no key)       parent 1     index 1           <- selected_entry
//
// Sizes are worked out in 64 bits; one that does not fit is out of memory.
#pragma once

#include <cstdint>

#include "core/document.h"

struct ViewState;

constexpr uint32_t NO_ENTRY = 0xFFFFFFFF;
// More expanded Nodes than this are remembered as "all expanded".
constexpr uint32_t SNAPSHOT_EXPANDED_MAX = 100000;

struct NodeLocator {
    uint32_t parent;      // entry index, NO_ENTRY for the root
    uint32_t index;       // among the parent's children
    uint32_t key_offset;  // into the key pool
    uint32_t key_length;
    uint8_t has_key;  // object members only
    uint8_t expanded;
};

struct ReloadSnapshot {
    uint32_t view_mode;  // VIEW_MODE_TREE or VIEW_MODE_TEXT
    uint8_t had_text_view;
    uint32_t text_mode;  // of that text view
    uint32_t caret_line;  // text view position; each NO_LINE when none
    uint32_t anchor_line;
    uint32_t top_line;
    uint8_t caret_on_selection;  // the caret was on the selected Node's line
    uint8_t all_expanded;
    NodeLocator* entries;
    uint32_t entry_count;
    uint32_t entry_capacity;  // 64 at first, doubling
    uint32_t selected_entry;  // NO_ENTRY when none
    uint32_t top_row_entry;   // the first visible tree row's Node, NO_ENTRY when none
    uint8_t* key_pool;
    uint32_t key_pool_length;
    uint32_t key_pool_capacity;  // 4096 at first, doubling
    // A snapshot kept by a restore for the next reload only: the Node the
    // restore selected in place of the unplaced selected entry. When the
    // selection has moved from it since, the pending selection is dropped.
    NodeId fallback_selected;
};

// Remembers the view's mode, text view position, expansion, selection and the
// Node of tree row `top_row` (the list's first visible row; in the text view
// the first visible line). Carries over what an earlier reload could not place
// yet. nullptr when memory runs out.
[[nodiscard]] ReloadSnapshot* capture_snapshot(const ViewState* view, uint32_t top_row);

// A new ViewState for `doc` with the remembered state placed on it as far as
// its Nodes still exist: a vanished selection falls back to its nearest
// surviving ancestor, and what could not be placed is kept in the ViewState
// for the next reload. A text view that existed is rebuilt at once. The view's
// scroll position goes to *top_row (row or line, 0 when none). nullptr when
// memory runs out.
[[nodiscard]] ViewState* restore_snapshot(Document* doc, const ReloadSnapshot* snapshot, uint32_t* top_row);

void release_snapshot(ReloadSnapshot* snapshot);
