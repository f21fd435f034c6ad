// The tree view's rows: which Nodes are visible, in display order, and which
// containers are expanded.
//
// Nodes are stored in pre-order, so the descendants of n are exactly the ids
// n + 1 .. subtree_end(n) - 1 and the visible rows are simply the visible
// NodeIds in ascending order. Every change of expansion therefore inserts or
// removes one contiguous run of the sorted `rows` array.
//
// Memory: one u32 per row (`rows`, at most node_count entries) and one bit per
// Node (`expanded`); nothing per Node beyond that. A bit is only ever set on an
// expandable Node (an Object or Array with at least one child). It may be set
// on a Node that is not a row: it takes effect when the collapsed ancestor is
// expanded again, so inner expansion survives collapsing an outer container.
#pragma once

#include <cstdint>

#include "core/document.h"

struct RowModel {
    Document* document;  // retained
    uint32_t node_count;
    uint32_t* rows;  // strictly ascending NodeIds; rows[0] is the root
    uint32_t row_count;
    uint32_t row_capacity;
    uint64_t* expanded;  // node_count bits, at least one word
    uint32_t expanded_count;
};

// The root as the only row, nothing expanded; nullptr when memory runs out.
[[nodiscard]] RowModel* create_row_model(Document* doc);
void release_row_model(RowModel* model);

// Queries; a missing model or an id past the node count gives 0, NO_NODE or false.
uint32_t row_count(const RowModel* model);
NodeId node_at_row(const RowModel* model, uint32_t row);
uint32_t row_of_node(const RowModel* model, NodeId id);  // NO_NODE when not a row
bool is_expanded(const RowModel* model, NodeId id);
uint32_t expanded_count(const RowModel* model);
bool is_expandable(const Document* doc, NodeId id);

// Changes. When the row array cannot grow, expand, expand_subtree and
// expand_all leave the model unchanged and expand_to_level falls back to the
// root alone.
void expand(RowModel* model, NodeId id);
void collapse(RowModel* model, NodeId id);  // keeps the descendants' bits
void toggle(RowModel* model, NodeId id);
void expand_subtree(RowModel* model, NodeId id);
void collapse_subtree(RowModel* model, NodeId id);
// Exactly the expandable Nodes at a depth below `levels` end up expanded.
void expand_to_level(RowModel* model, uint32_t levels);
void expand_all(RowModel* model);
void collapse_all(RowModel* model);
// Three levels for documents of at most 5000 Nodes, else one.
void initial_expansion(RowModel* model);
// Expands every ancestor of the Node so that it becomes a row.
void reveal(RowModel* model, NodeId id);
